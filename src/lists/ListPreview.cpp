#include "lists/ListPreview.h"

#include "csv/CsvReader.h"
#include "lists/ListEvidence.h"
#include "lists/ListLayout.h"

#include <QFile>

namespace {

// The list's first rows, decoded in the encoding its first part has (as the run guesses it), or each
// field as its own bytes tell where that part fits no encoding.
QList<QStringList> firstRows(QFile &file, const QString &fileName, const ListEncoding encoding,
                             const Cp932Codec &codec, int rowCount)
{
    ListLayout layout;
    layout.byteOrderMark = ListLayout::skipByteOrderMark(file);
    layout.delimiter = ListLayout::delimiterOf(file, fileName);
    const qint64 start = file.pos();
    ListEvidence evidence(layout, encoding, codec);
    CsvReader reader(file, layout.delimiter);
    CsvRecord record;
    for (int n = 0;
         n < ListLayout::kGuessRows && reader.bytesRead() < ListLayout::kGuessBytes && reader.next(record);
         ++n)
        evidence.take(record, true);
    QString ignored;
    const std::optional<ListLayout> settled = evidence.settle(&ignored);
    QList<QStringList> rows;
    if (!file.seek(start))
        return rows;
    CsvReader again(file, layout.delimiter);
    while (rows.size() < rowCount && again.next(record)) {
        if (record.isEmptyLine())
            continue;
        QStringList &row = rows.emplaceBack();
        for (qsizetype i = 0; i < record.size(); ++i) {
            QString &text = row.emplaceBack();
            if (settled)
                settled->appendText(record.value(i), codec, text);
            else
                text = ListLayout::textOf(record.value(i), codec);
        }
    }
    return rows;
}

} // namespace

ListPreview ListPreview::of(const ListRequest &request, const Cp932Codec &codec, int rowCount)
{
    ListPreview preview;
    QFile file(request.input);
    if (!file.open(QIODevice::ReadOnly))
        return preview;
    QString error;
    ListColumns::Fault fault = ListColumns::Fault::None;
    if (ListLayout::guess(file, request.input, request, codec, &error, &fault)) {
        preview.outcome = Outcome::Ready;
        return preview;
    }
    if (fault != ListColumns::Fault::NotFound || !file.seek(0))
        return preview;
    preview.rows = firstRows(file, request.input, request.encoding, codec, rowCount);
    preview.outcome = preview.rows.isEmpty() ? Outcome::Failed : Outcome::ColumnsNotFound;
    return preview;
}
