// A copied text taken as a map position: a map URL comes out only with numbers in it, never a blank
// or a control character that could reach the record's fields.
#include "FuzzCheck.h"
#include "core/MapPosition.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto url =
        MapPosition::mapUrlFor(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!url)
        return 0;
    for (QChar c : *url)
        FUZZ_CHECK(c.unicode() > 0x20 && c.unicode() < 0x7F);
    return 0;
}
