// A request file's text: whatever it holds, the record's fields carry no tab and the answer for it has
// six fields; a map URL is taken only when it is the service's own.
#include "FuzzCheck.h"
#include "core/Cp932Table.h"
#include "core/RequestFile.h"

#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Cp932Table codec;
    const auto text = codec.decode(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!text)
        return 0;
    const RequestFile request(RequestFile::kHeader + *text);
    const AddressRecord r = request.initialRecord();
    FUZZ_CHECK(request.answerFor(r).split(u'\t').size() == 6);
    if (!r.mapUrl.isEmpty())
        FUZZ_CHECK(RequestFile::isMapServiceUrl(r.mapUrl) &&
                   QUrl(r.mapUrl).path().startsWith(u"/maps", Qt::CaseInsensitive));
    return 0;
}
