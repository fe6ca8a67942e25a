#include "core/Cp932Table.h"

#include <QFile>

#include <algorithm>
#include <cstring>

// Resources of a static library are only linked in when asked for by name, outside any namespace.
static void loadTableResource()
{
    Q_INIT_RESOURCE(cp932);
}

Cp932Table::Cp932Table() : m_read(0x10000, kNone), m_write(0x10000, kNone), m_lead(256, false)
{
    loadTableResource();
    QFile file(QStringLiteral(":/velmora/cp932.bin"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("The CP932 table is missing from the program");
    const QByteArray table = file.readAll();
    const auto *bytes = reinterpret_cast<const uchar *>(table.constData());
    for (qsizetype i = 0; i + 4 <= table.size(); i += 4) {
        const auto sequence = char16_t(bytes[i] << 8 | bytes[i + 1]);
        const auto unit = char16_t(bytes[i + 2] << 8 | bytes[i + 3]);
        m_read[sequence] = unit;
        // The first record of a character is the sequence it is written as.
        if (m_write[unit] == kNone)
            m_write[unit] = sequence;
        if (sequence > 0xFF) {
            m_lead[sequence >> 8] = true;
            m_pairs.set(sequence);
        }
    }
    m_asciiAsIs = true;
    for (int b = 0; b < 256; ++b) {
        m_first[std::size_t(b)] = m_lead[std::size_t(b)] ? kLead : m_read[std::size_t(b)];
        if (b < 0x80 && m_read[std::size_t(b)] != b)
            m_asciiAsIs = false;
    }
}

bool Cp932Table::isValid(QByteArrayView bytes) const
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = p + bytes.size();
    while (p < end) {
        if (m_asciiAsIs && end - p >= 8) {
            quint64 eight;
            std::memcpy(&eight, p, 8);
            if ((eight & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        for (const uchar *const stop = std::min(end, p + 8); p < stop; ++p) {
            const char16_t first = m_first[*p];
            if (first == kLead) {
                if (p + 1 == end || !m_pairs.test(std::size_t(*p) << 8 | p[1]))
                    return false;
                ++p;
            } else if (first == kNone) {
                return false;
            }
        }
    }
    return true;
}

std::optional<QString> Cp932Table::decode(const QByteArray &bytes) const
{
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        char16_t sequence = uchar(bytes[i]);
        if (m_lead[sequence]) {
            if (++i == bytes.size())
                return std::nullopt;
            sequence = char16_t(sequence << 8 | uchar(bytes[i]));
        }
        const char16_t unit = m_read[sequence];
        if (unit == kNone)
            return std::nullopt;
        out += QChar(unit);
    }
    return out;
}

qsizetype Cp932Table::decodeInto(QByteArrayView bytes, char16_t *out) const
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = p + bytes.size();
    char16_t *o = out;
    while (p < end) {
        // Japan Post's files are half ASCII (codes, commas, quotes): eight such bytes are widened at once,
        // and otherwise the next eight or so taken one by one.
        if (m_asciiAsIs && end - p >= 8) {
            quint64 eight;
            std::memcpy(&eight, p, 8);
            if ((eight & 0x8080808080808080ULL) == 0) {
                for (int i = 0; i < 8; ++i)
                    o[i] = p[i];
                p += 8;
                o += 8;
                continue;
            }
        }
        for (const uchar *const stop = std::min(end, p + 8); p < stop;) {
            char16_t unit = m_first[*p++];
            if (unit == kLead) {
                if (p == end)
                    return -1;
                unit = m_read[std::size_t(p[-1]) << 8 | *p];
                ++p;
            }
            if (unit == kNone)
                return -1;
            *o++ = unit;
        }
    }
    return o - out;
}

std::optional<QByteArray> Cp932Table::encode(const QString &text) const
{
    // Into room for the longest result, by pointer: appending byte by byte costs more than the table.
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char *next = out.data();
    for (const QChar c : text) {
        const char16_t sequence = m_write[c.unicode()];
        if (sequence == kNone)
            return std::nullopt;
        if (sequence > 0xFF)
            *next++ = char(sequence >> 8);
        *next++ = char(sequence & 0xFF);
    }
    out.truncate(next - out.constData());
    return out;
}
