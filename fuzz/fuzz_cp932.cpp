// The CP932 codec: decoding what it encoded gives the text back, in both directions, and checking bytes
// agrees with decoding them.
#include "FuzzCheck.h"
#include "core/Cp932Table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Cp932Table codec;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    FUZZ_CHECK(codec.isValid(bytes) == codec.decode(bytes).has_value());
    if (const auto text = codec.decode(bytes)) {
        const auto again = codec.encode(*text);
        FUZZ_CHECK(again && codec.decode(*again) == text);
    }
    const QString text(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    if (const auto encoded = codec.encode(text))
        FUZZ_CHECK(codec.decode(*encoded).has_value());
    else
        FUZZ_CHECK(!codec.firstUnencodable(text).isEmpty());
    return 0;
}
