#include "lists/ListRowWriter.h"

#include "address/PostalText.h"
#include "core/Cp932Codec.h"
#include "csv/CsvRecord.h"
#include "csv/CsvText.h"
#include "lists/ListLayout.h"
#include "lists/RowCheck.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

ListRowWriter::ListRowWriter(const ListLayout &layout, const Cp932Codec &codec)
    : m_layout(layout), m_codec(codec)
{
    for (const RowStatusText &text : kRowStatusTexts)
        m_statusBytes[std::size_t(text.status)] = encode(QString::fromUtf16(text.inFile)).value();
}

void ListRowWriter::header(const CsvRecord &record, QByteArray &out) const
{
    out += record.raw;
    QStringList names;
    if (m_layout.columns.code < 0)
        names.append(u"郵便番号"_s);
    if (m_layout.columns.address.isEmpty())
        names.append(u"住所"_s);
    names.append({u"照合結果"_s, u"候補"_s});
    for (const QString &name : names)
        appendAdded(out, name, record);
    out += record.lineEnd;
}

RowStatus ListRowWriter::row(const CsvRecord &record, const PostalDirectory &directory, QByteArray &out)
{
    if (record.size() != m_layout.fieldCount) {
        // With the fields it has: padded to the header's width, a short row could grow without
        // bound (a header of 500,000 columns).
        out += record.raw;
        finish(record, RowCheck{RowStatus::ColumnCount, {}, {}, {}}, {}, {}, out);
        return RowStatus::ColumnCount;
    }
    const auto &columns = m_layout.columns;
    m_code.resize(0);
    m_address.resize(0);
    if (columns.code >= 0)
        appendField(record, columns.code, m_code);
    for (const qsizetype column : columns.address)
        appendField(record, column, m_address);
    RowCheck check = RowCheck::check(directory, m_code, m_address);

    Fields filled(record.size());
    QString addedCode, addedAddress;
    if (check.fillCode) {
        const QString text = codeText(*check.fillCode);
        (columns.code >= 0 ? filled[columns.code] : addedCode) = text;
    }
    if (check.fillAddress) {
        const QStringList parts = addressParts(*check.fillAddress);
        for (qsizetype i = 0; i < parts.size(); ++i)
            filled[columns.address[i]] = parts[i];
        if (columns.address.isEmpty())
            addedAddress = check.fillAddress->address();
    }
    if (!writeFields(record, filled, out)) {
        out += record.raw;
        check = RowCheck{RowStatus::Unwritable, {}, {}, u"CP932 で書けない文字があります"_s};
    }
    finish(record, check, addedCode, addedAddress, out);
    return check.status;
}

void ListRowWriter::appendField(const CsvRecord &record, qsizetype i, QString &text) const
{
    QByteArray spare;
    m_layout.appendText(record.value(i, spare), m_codec, text);
}

QString ListRowWriter::codeText(quint32 code) const
{
    return m_layout.hyphenated ? PostalText::formatCode(code) : QString::number(code).rightJustified(7, u'0');
}

QStringList ListRowWriter::addressParts(const PostalEntry &entry) const
{
    const QString pieces[] = {entry.prefecture.toString(), entry.city.toString(),
                              entry.town.toString() + entry.street.toString()};
    const auto &parts = m_layout.columns.parts;
    QStringList values(parts.size());
    qsizetype next = 0, last = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        using Part = ListColumns::Part;
        const qsizetype upTo = parts[i] == Part::Prefecture ? 1
                               : parts[i] == Part::City     ? 2
                               : parts[i] == Part::Rest     ? next
                                                            : 3;
        if (upTo <= next)
            continue;
        for (; next < upTo; ++next)
            values[i] += pieces[next];
        last = i;
    }
    for (; next < 3 && !values.isEmpty(); ++next)
        values[last] += pieces[next];
    return values;
}

bool ListRowWriter::writeFields(const CsvRecord &record, const Fields &filled, QByteArray &out) const
{
    if (std::all_of(filled.begin(), filled.end(), [](const QString &s) { return s.isEmpty(); })) {
        out += record.raw;
        return true;
    }
    const qsizetype start = out.size();
    for (qsizetype i = 0; i < record.size(); ++i) {
        if (i > 0)
            out += m_layout.delimiter;
        if (filled[i].isEmpty()) {
            out += record.rawField(i);
            continue;
        }
        const auto bytes = encode(filled[i]);
        if (!bytes) {
            out.resize(start);
            return false;
        }
        CsvText::appendField(out, *bytes, m_layout.delimiter, record.fields[i].quoted);
    }
    return true;
}

void ListRowWriter::appendAdded(QByteArray &out, const QString &text, const CsvRecord &record) const
{
    appendBytes(out, text.isEmpty() ? QByteArray() : encode(text).value_or(QByteArray()), record);
}

void ListRowWriter::appendBytes(QByteArray &out, QByteArrayView bytes, const CsvRecord &record) const
{
    out += m_layout.delimiter;
    const bool quote = !record.fields.isEmpty() && record.fields.back().quoted;
    CsvText::appendField(out, bytes, m_layout.delimiter, quote);
}

std::optional<QByteArray> ListRowWriter::encode(const QString &text) const
{
    return m_layout.utf8 ? std::optional(text.toUtf8()) : m_codec.encode(text);
}

void ListRowWriter::finish(const CsvRecord &record, const RowCheck &check, const QString &addedCode,
                           const QString &addedAddress, QByteArray &out) const
{
    const auto &columns = m_layout.columns;
    if (columns.code < 0)
        appendAdded(out, addedCode, record);
    if (columns.address.isEmpty())
        appendAdded(out, addedAddress, record);
    appendBytes(out, m_statusBytes[std::size_t(check.status)], record);
    appendAdded(out, check.candidates, record);
    out += record.lineEnd;
}
