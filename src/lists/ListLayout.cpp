#include "lists/ListLayout.h"

#include "core/Cp932Codec.h"
#include "core/Utf8ByteOrderMark.h"
#include "csv/CsvReader.h"
#include "csv/CsvText.h"
#include "lists/ListEvidence.h"

#include <QFileInfo>
#include <QIODevice>

using namespace Qt::Literals::StringLiterals;

namespace {

struct ReaderErrorText {
    CsvReader::Error error;
    const char16_t *text;
};

constexpr ReaderErrorText kReaderErrors[] = {
    {CsvReader::Error::UnclosedQuote,
     u"引用符 \" が閉じられないままファイルが終わります（この行の項目から）"},
    {CsvReader::Error::TextAfterQuote, u"引用符で囲んだ項目の後に区切り以外の文字があります"},
    {CsvReader::Error::LineTooLong, u"1 行が長すぎます（1 MiB を超えます）"},
    {CsvReader::Error::NulByte, u"NUL 文字があります（CSV ではないか、UTF-16 のファイルです）"},
    {CsvReader::Error::ReadFailed, u"ファイルを読めません"},
};

} // namespace

char ListLayout::delimiterOf(QIODevice &file, const QString &fileName)
{
    const QByteArray first = file.peek(64 * 1024);
    const QByteArray line = first.left(first.indexOf('\n'));
    const auto tabs = line.count('\t');
    const auto commas = line.count(',');
    if (tabs != commas)
        return tabs > commas ? '\t' : ',';
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == u"tsv"_s || suffix == u"tab"_s ? '\t' : ',';
}

QString ListLayout::lineError(qint64 line, const QString &text)
{
    return u"%1 行目: %2"_s.arg(line).arg(text);
}

QString ListLayout::textOf(QByteArrayView bytes, const Cp932Codec &codec)
{
    if (CsvText::isUtf8(bytes))
        return QString::fromUtf8(bytes);
    return codec.decode(bytes.toByteArray()).value_or(QString());
}

QString ListLayout::readerError(const CsvReader &reader)
{
    for (const ReaderErrorText &e : kReaderErrors)
        if (e.error == reader.error())
            return lineError(reader.errorLine(), QString::fromUtf16(e.text));
    return {};
}

bool ListLayout::skipByteOrderMark(QIODevice &file)
{
    if (file.peek(Utf8ByteOrderMark::kBytes.size()) != Utf8ByteOrderMark::kBytes)
        return false;
    file.skip(Utf8ByteOrderMark::kBytes.size());
    return true;
}

void ListLayout::appendText(QByteArrayView bytes, const Cp932Codec &codec, QString &text) const
{
    if (utf8) {
        text += QString::fromUtf8(bytes);
        return;
    }
    // Into the room the text already has: one list's rows need no allocation of their own.
    const qsizetype had = text.size();
    text.resize(had + bytes.size());
    const qsizetype n = codec.decodeInto(bytes, reinterpret_cast<char16_t *>(text.data()) + had);
    text.resize(had + std::max<qsizetype>(n, 0));
}

std::optional<ListLayout> ListLayout::guess(QIODevice &file, const QString &fileName,
                                            const ListRequest &request, const Cp932Codec &codec,
                                            QString *error, ListColumns::Fault *fault)
{
    ListLayout layout;
    layout.byteOrderMark = skipByteOrderMark(file);
    // Lines ended by CR alone (old Macintosh exports) would read as one line: refused, not taken for
    // a list of no rows.
    if (const QByteArray start = file.peek(64 * 1024); start.contains('\r') && !start.contains('\n')) {
        *error =
            u"改行が CR だけのファイルです（古い Macintosh の形式）。改行を CR LF か LF にして保存し直してください"_s;
        return std::nullopt;
    }
    layout.delimiter = delimiterOf(file, fileName);
    CsvReader reader(file, layout.delimiter);
    CsvRecord record;
    if (!reader.next(record)) {
        *error = reader.error() != CsvReader::Error::None ? readerError(reader) : u"ファイルが空です"_s;
        return std::nullopt;
    }
    QStringList names;
    for (qsizetype i = 0; i < record.size(); ++i)
        names.append(textOf(record.value(i), codec));
    const auto columns =
        ListColumns::find(names, request.codeColumn, request.addressColumns, request.header, error, fault);
    if (!columns)
        return std::nullopt;
    layout.columns = *columns;
    layout.fieldCount = record.size();
    ListEvidence evidence(layout, request.encoding, codec);
    evidence.take(record, layout.columns.header);
    for (int rows = 1; rows < kGuessRows && reader.bytesRead() < kGuessBytes && reader.next(record); ++rows)
        evidence.take(record, false);
    if (reader.error() != CsvReader::Error::None) {
        *error = readerError(reader);
        return std::nullopt;
    }
    return evidence.settle(error);
}
