// Any bytes as a comma- or tab-separated list (the first byte picks the delimiter and a record limit):
// the records read, each with its line end, are the file's bytes in order and none holds a NUL, every
// field written back in the form it had is its bytes, and reading stops with an error or at the end,
// never past it.
#include "FuzzCheck.h"
#include "csv/CsvReader.h"
#include "csv/CsvText.h"

#include <QBuffer>
#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const char delimiter = data[0] & 1 ? '\t' : ',';
    const qsizetype limit = 16 + (data[0] >> 1) * 64;
    QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    CsvReader reader(device, delimiter, limit);
    CsvRecord record;
    QByteArray again;
    qint64 line = 1;
    while (reader.next(record)) {
        FUZZ_CHECK(record.line == line && record.raw.size() <= limit && !record.fields.isEmpty());
        FUZZ_CHECK(!record.raw.contains('\0'));
        line += 1 + record.raw.count('\n');
        for (qsizetype i = 0; i < record.size(); ++i) {
            // An unquoted field may hold a quote or a lone CR, which writing it would quote.
            const QByteArrayView field = record.rawField(i);
            QByteArray written;
            CsvText::appendField(written, record.value(i), delimiter, record.fields[i].quoted);
            FUZZ_CHECK(written == field ||
                       (!record.fields[i].quoted && (field.contains('"') || field.contains('\r'))));
            FUZZ_CHECK(i == 0 || record.raw[record.fields[i].begin - 1] == delimiter);
        }
        again += record.raw;
        again += record.lineEnd;
    }
    FUZZ_CHECK(bytes.startsWith(again));
    FUZZ_CHECK(reader.error() != CsvReader::Error::None || again == bytes);
    FUZZ_CHECK(CsvText::isUtf8(bytes) == (QString::fromUtf8(bytes).toUtf8() == bytes));
    return 0;
}
