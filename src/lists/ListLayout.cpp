#include "lists/ListLayout.h"

#include "address/PostalText.h"
#include "core/Cp932Codec.h"
#include "csv/CsvReader.h"
#include "csv/CsvText.h"

#include <QFileInfo>
#include <QIODevice>
#include <vector>

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

QString lineError(qint64 line, const QString &text)
{
    return u"%1 行目: %2"_s.arg(line).arg(text);
}

char delimiterOf(QIODevice &file, const QString &fileName)
{
    // The first line decides; a one-column file by its name.
    const QByteArray first = file.peek(64 * 1024);
    const QByteArray line = first.left(first.indexOf('\n'));
    const auto tabs = line.count('\t');
    const auto commas = line.count(',');
    if (tabs != commas)
        return tabs > commas ? '\t' : ',';
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == u"tsv"_s || suffix == u"tab"_s ? '\t' : ',';
}

// Which encodings every row so far is valid in, and the first line where each failed.
struct EncodingCheck {
    qint64 notUtf8 = 0;
    qint64 notCp932 = 0;
    bool nonAscii = false;
    std::vector<char16_t> scratch;

    void check(const CsvRecord &record, const Cp932Codec &codec, ListCompletion::Encoding only)
    {
        if (CsvText::isAscii(record.raw))
            return;
        nonAscii = true;
        if (!notUtf8 && only != ListCompletion::Encoding::Cp932 && !CsvText::isUtf8(record.raw))
            notUtf8 = record.line;
        if (!notCp932 && only != ListCompletion::Encoding::Utf8) {
            scratch.resize(size_t(record.raw.size()));
            if (codec.decodeInto(record.raw, scratch.data()) < 0)
                notCp932 = record.line;
        }
    }
};

QString guessText(QByteArrayView bytes, const Cp932Codec &codec)
{
    if (CsvText::isUtf8(bytes))
        return QString::fromUtf8(bytes);
    return codec.decode(bytes.toByteArray()).value_or(QString());
}

// Whether the list is in UTF-8 rather than CP932, by the encoding asked for and what the survey saw;
// no value when its text fits neither that encoding nor, when none was asked for, either.
std::optional<bool> isUtf8(const EncodingCheck &encoding, ListCompletion::Encoding only, QString *error)
{
    using Encoding = ListCompletion::Encoding;
    if (only == Encoding::Utf8 || only == Encoding::Cp932) {
        const bool utf8 = only == Encoding::Utf8;
        if (const qint64 bad = utf8 ? encoding.notUtf8 : encoding.notCp932) {
            *error = lineError(bad, utf8 ? u"UTF-8 として読めない文字があります"_s
                                         : u"CP932 (Shift_JIS) として読めない文字があります"_s);
            return std::nullopt;
        }
        return utf8;
    }
    if (encoding.notUtf8 && encoding.notCp932) {
        *error = lineError(std::max(encoding.notUtf8, encoding.notCp932),
                           u"文字コードが CP932 (Shift_JIS) でも UTF-8 でもありません"_s);
        return std::nullopt;
    }
    // Text in ASCII alone is taken for CP932, as spreadsheets on Japanese Windows write lists.
    return encoding.nonAscii && !encoding.notUtf8;
}

} // namespace

QString ListLayout::readerError(const CsvReader &reader)
{
    for (const ReaderErrorText &e : kReaderErrors)
        if (e.error == reader.error())
            return lineError(reader.errorLine(), QString::fromUtf16(e.text));
    return {};
}

bool ListLayout::skipByteOrderMark(QIODevice &file)
{
    if (file.peek(3) != "\xEF\xBB\xBF")
        return false;
    file.skip(3);
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

std::optional<ListLayout> ListLayout::survey(QIODevice &file, const QString &fileName,
                                             const ListCompletion::Request &request, const Cp932Codec &codec,
                                             const std::function<bool(qint64)> &onProgress, QString *error)
{
    using Encoding = ListCompletion::Encoding;
    ListLayout layout;
    layout.byteOrderMark = skipByteOrderMark(file);
    layout.delimiter = delimiterOf(file, fileName);
    const Encoding only = layout.byteOrderMark ? Encoding::Utf8 : request.encoding;
    CsvReader reader(file, layout.delimiter);
    CsvRecord record;
    EncodingCheck encoding;
    qint64 hyphens = 0, plain = 0;
    bool first = true;
    for (qint64 rows = 1; reader.next(record); ++rows) {
        encoding.check(record, codec, only);
        if (first) {
            first = false;
            QStringList names;
            for (qsizetype i = 0; i < record.size(); ++i)
                names.append(guessText(record.value(i), codec));
            const auto columns = ListColumns::find(names, request.codeColumn, request.addressColumns, error);
            if (!columns)
                return std::nullopt;
            layout.columns = *columns;
            layout.fieldCount = record.size();
            if (layout.columns.header)
                continue;
        }
        if (layout.columns.code >= 0 && layout.columns.code < record.size()) {
            const QString code = guessText(record.value(layout.columns.code), codec).trimmed();
            if (PostalText::parseCode(code))
                ++(code.size() > 7 ? hyphens : plain);
        }
        if ((rows & 0xFFF) == 0 && !onProgress(reader.bytesRead()))
            return std::nullopt;
    }
    if (reader.error() != CsvReader::Error::None) {
        *error = readerError(reader);
        return std::nullopt;
    }
    if (first) {
        *error = u"ファイルが空です"_s;
        return std::nullopt;
    }
    layout.hyphenated = hyphens >= plain;
    const std::optional<bool> utf8 = isUtf8(encoding, only, error);
    if (!utf8)
        return std::nullopt;
    layout.utf8 = *utf8;
    return layout;
}
