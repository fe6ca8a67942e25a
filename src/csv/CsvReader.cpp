#include "csv/CsvReader.h"

#include "csv/CsvSyntax.h"

#include <QIODevice>
#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype kChunkBytes = 64 * 1024;

// The first delimiter, line feed or NUL from p on, or end: eight bytes at a time while none of them
// is one.
const char *fieldEnd(const char *p, const char *end, char delimiter)
{
    constexpr quint64 kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
    const auto hasZeroByte = [](quint64 v) { return ((v - kOnes) & ~v & kHighs) != 0; };
    const quint64 delimiters = kOnes * uchar(delimiter), lineFeeds = kOnes * uchar('\n');
    for (quint64 eight; end - p >= 8; p += 8) {
        std::memcpy(&eight, p, 8);
        if (hasZeroByte(eight ^ delimiters) || hasZeroByte(eight ^ lineFeeds) || hasZeroByte(eight))
            break;
    }
    while (p < end && *p != delimiter && *p != '\n' && *p != '\0')
        ++p;
    return p;
}

} // namespace

QByteArray CsvRecord::value(qsizetype i) const
{
    if (i < 0 || i >= fields.size())
        return {};
    const QByteArrayView field = rawField(i);
    if (!fields[i].quoted)
        return field.toByteArray();
    // A quoted field is read whole, both quotes in it.
    QByteArray out(field.size() - 2, Qt::Uninitialized);
    out.truncate(CsvSyntax::unquote(field.data() + 1, field.size() - 2, out.data()));
    return out;
}

CsvReader::CsvReader(QIODevice &device, char delimiter, qsizetype maxRecordBytes)
    : m_device(device), m_delimiter(delimiter), m_maxRecordBytes(maxRecordBytes)
{
}

bool CsvReader::fill()
{
    // What is left of the buffer is the start of one record, never more than the limit: it moves to the
    // front, and the buffer keeps its room rather than being allocated anew for each piece.
    const qsizetype left = m_buffer.size() - m_start;
    if (m_start > 0) {
        std::memmove(m_buffer.data(), m_buffer.constData() + m_start, size_t(left));
        m_start = 0;
    }
    if (m_buffer.capacity() < left + kChunkBytes)
        m_buffer.reserve(2 * (left + kChunkBytes));
    m_buffer.resize(left + kChunkBytes);
    const qint64 got = m_device.read(m_buffer.data() + left, kChunkBytes);
    m_buffer.resize(left + std::max<qint64>(got, 0));
    if (got < 0) {
        m_error = Error::ReadFailed;
        return false;
    }
    m_bytesRead += got;
    m_atEnd = got == 0;
    return true;
}

bool CsvReader::next(CsvRecord &record)
{
    if (m_error != Error::None)
        return false;
    for (;;) {
        switch (parse(record)) {
        case Parse::Complete:
            return true;
        case Parse::Failed:
            return false;
        case Parse::NeedMore:
            if (m_buffer.size() - m_start > m_maxRecordBytes) {
                m_error = Error::LineTooLong;
                return false;
            }
            if (m_atEnd || !fill())
                return false;
            break;
        }
    }
}

CsvReader::Parse CsvReader::skipQuoted(const char *&p, const char *end)
{
    p = CsvSyntax::closingQuote(p, end).close;
    if (p == end) {
        if (!m_atEnd)
            return Parse::NeedMore;
        m_error = Error::UnclosedQuote;
        return Parse::Failed;
    }
    ++p;
    // The quote last in the buffer may be the first of a doubled one, a CR the first of a line end.
    if ((p == end || (*p == '\r' && p + 1 == end)) && !m_atEnd)
        return Parse::NeedMore;
    if (!CsvSyntax::endsQuoted(p, end, m_delimiter)) {
        m_error = Error::TextAfterQuote;
        return Parse::Failed;
    }
    if (p < end && *p == '\r')
        ++p;
    return Parse::Complete;
}

CsvReader::Parse CsvReader::parse(CsvRecord &record)
{
    const char *const begin = m_buffer.constData() + m_start;
    const char *const end = m_buffer.constData() + m_buffer.size();
    if (begin == end)
        return Parse::NeedMore; // the end of the file when nothing more comes
    const char d = m_delimiter;
    record.fields.clear();
    const char *p = begin;
    const char *lineEnd = nullptr; // where the record's line end starts
    bool anyQuoted = false;        // only a quoted field can hold a line break
    while (!lineEnd) {
        const qsizetype fieldBegin = p - begin;
        const bool quoted = p < end && *p == '"';
        if (quoted) {
            if (const Parse skipped = skipQuoted(p, end); skipped != Parse::Complete)
                return skipped;
            anyQuoted = true;
            if (std::memchr(begin + fieldBegin, 0, size_t(p - begin - fieldBegin)))
                return nulByte();
        } else {
            p = fieldEnd(p, end, d);
            if (p < end && *p == '\0')
                return nulByte();
        }
        if (p == end) {
            if (!m_atEnd)
                return Parse::NeedMore;
            lineEnd = p;
        } else if (*p == '\n') {
            lineEnd = begin + CsvSyntax::withoutCr(begin, p - begin);
        }
        // Filled in place: a field built aside and copied in costs more than the whole scan of it.
        CsvRecord::Field &field = record.fields.emplace_back();
        field.begin = fieldBegin;
        field.size = std::min(p, lineEnd ? lineEnd : p) - begin - fieldBegin;
        field.quoted = quoted;
        if (!lineEnd)
            ++p; // past the delimiter
    }
    return finishRecord(record, begin, lineEnd, lineEnd == end ? end : p + 1, anyQuoted);
}

CsvReader::Parse CsvReader::nulByte()
{
    m_error = Error::NulByte;
    return Parse::Failed;
}

CsvReader::Parse CsvReader::finishRecord(CsvRecord &record, const char *begin, const char *lineEnd,
                                         const char *next, bool anyQuoted)
{
    record.raw = QByteArrayView(begin, lineEnd - begin);
    record.lineEnd = QByteArrayView(lineEnd, next - lineEnd);
    if (record.raw.size() > m_maxRecordBytes) {
        m_error = Error::LineTooLong;
        return Parse::Failed;
    }
    record.line = m_line;
    m_line += 1 + (anyQuoted ? std::count(record.raw.begin(), record.raw.end(), '\n') : 0);
    m_start = next - m_buffer.constData();
    return Parse::Complete;
}
