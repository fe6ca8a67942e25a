#include "lists/ListEvidence.h"

#include "address/PostalText.h"
#include "core/Cp932Codec.h"
#include "csv/CsvRecord.h"
#include "csv/CsvText.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;
using Encoding = ListEncoding;

ListEvidence::ListEvidence(const ListLayout &layout, Encoding encoding, const Cp932Codec &codec)
    // An encoding asked for wins over the byte-order mark, as the option promises.
    : m_layout(layout),
      m_only(encoding == Encoding::Detect && layout.byteOrderMark ? Encoding::Utf8 : encoding), m_codec(codec)
{
}

void ListEvidence::checkEncoding(const CsvRecord &record)
{
    if (CsvText::isAscii(record.raw))
        return;
    m_nonAscii = true;
    if (!m_notUtf8 && m_only != Encoding::Cp932 && !CsvText::isUtf8(record.raw))
        m_notUtf8 = record.line;
    if (!m_notCp932 && m_only != Encoding::Utf8 && !m_codec.isValid(record.raw))
        m_notCp932 = record.line;
}

void ListEvidence::take(const CsvRecord &record, bool header)
{
    checkEncoding(record);
    const qsizetype column = m_layout.columns.code;
    if (header || column < 0 || column >= record.size())
        return;
    QByteArray spare;
    const QString code = ListLayout::textOf(record.value(column, spare), m_codec).trimmed();
    if (PostalText::parseCode(code))
        ++(code.size() > 7 ? m_hyphens : m_plain);
    // Digits alone, of a whole code or of one whose leading 0 a spreadsheet took away already.
    if (code.size() >= 5 && code.size() <= 7 &&
        std::all_of(code.begin(), code.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        ++m_numbers;
}

std::optional<ListLayout> ListEvidence::settle(QString *error) const
{
    const auto lineError = [error](qint64 line, const QString &text) {
        *error = ListLayout::lineError(line, text);
        return std::nullopt;
    };
    ListLayout layout = m_layout;
    // A spreadsheet reads a code of ASCII digits as a number and drops its leading 0 ("0600000" comes
    // back as 600000): where the list writes its codes so, a filled code gets the hyphen, which keeps
    // it text.
    layout.hyphenated = m_hyphens >= m_plain || m_numbers > 0;
    if (m_only == Encoding::Utf8 || m_only == Encoding::Cp932) {
        layout.utf8 = m_only == Encoding::Utf8;
        if (const qint64 bad = layout.utf8 ? m_notUtf8 : m_notCp932)
            return lineError(bad, layout.utf8 ? u"UTF-8 として読めない文字があります"_s
                                              : u"CP932 (Shift_JIS) として読めない文字があります"_s);
        return layout;
    }
    if (m_notUtf8 && m_notCp932)
        return lineError(std::max(m_notUtf8, m_notCp932),
                         u"文字コードが CP932 (Shift_JIS) でも UTF-8 でもありません"_s);
    // Text in ASCII alone is taken for CP932, as spreadsheets on Japanese Windows write lists.
    layout.utf8 = m_nonAscii && !m_notUtf8;
    return layout;
}
