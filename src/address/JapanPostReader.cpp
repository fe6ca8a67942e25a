#include "address/JapanPostReader.h"

#include "address/PostalText.h"
#include "address/Prefectures.h"
#include "core/Cp932Codec.h"
#include "core/Utf8ByteOrderMark.h"
#include "csv/CsvSyntax.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cstring>

// Japan Post's files are read line by line: each line is decoded, split where it lies, and what is
// handed on are views of it. Only a town continued over several lines and the kana (made full-width)
// need text of their own.

namespace {

constexpr quint64 kWholeCountry = ((quint64(1) << Prefectures::kCount) - 1) << 1;

std::optional<quint32> readCode(QStringView text)
{
    if (text.size() != 7)
        return std::nullopt;
    quint32 code = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        code = code * 10 + quint32(c.unicode() - u'0');
    }
    return code;
}

// Calls handle for each line of the file (blank lines skipped), decoded by decode and split into its
// fields; stops and fails at the first line that cannot be decoded or split, or that handle refuses.
// A file cut short is refused: the last line must end with a line break, and every prefecture must have
// a line (handle gives its number, or 0 to refuse the line). Each line is decoded into one of two
// buffers in turn: the fields of the line before stay valid, and no buffer the size of the whole file
// is written (in a virtual machine, the first touch of each page costs more than decoding it). atEnd is
// called after the last line, while the fields of the last two are still valid.
template <std::size_t N, typename Decode, typename Handle, typename AtEnd>
bool forEachCsvLine(QByteArrayView bytes, Decode decode, Handle handle, AtEnd atEnd)
{
    if (!bytes.endsWith('\n'))
        return false;
    std::array<QString, 2> buffers;
    int current = 0;
    std::array<QStringView, N> fields;
    quint64 prefectures = 0;
    const char *const begin = bytes.data();
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        // A line break byte is never part of a CP932 or UTF-8 character.
        const auto *lineEnd = static_cast<const char *>(std::memchr(begin + pos, '\n', bytes.size() - pos));
        const QByteArrayView lineBytes(begin + pos, lineEnd);
        pos = lineEnd - begin + 1;
        QString &buffer = buffers[std::size_t(current)];
        if (buffer.size() < lineBytes.size())
            buffer.resize(std::max<qsizetype>(lineBytes.size(), 512));
        auto *line = reinterpret_cast<char16_t *>(buffer.data());
        qsizetype length = decode(lineBytes, line);
        if (length < 0)
            return false;
        length = CsvSyntax::withoutCr(line, length);
        if (QStringView(line, length).trimmed().isEmpty())
            continue;
        if (CsvSyntax::splitLine(line, length, u',', fields.data(), qsizetype(N)) != qsizetype(N))
            return false;
        const int prefecture = handle(fields);
        if (prefecture == 0)
            return false;
        prefectures |= quint64(1) << prefecture;
        current ^= 1; // a blank line is written over, not the line before it
    }
    if (prefectures != kWholeCountry)
        return false;
    atEnd();
    return true;
}

// A prefecture's number by its name; the files keep a prefecture's lines together.
class PrefectureNames {
public:
    int number(QStringView name)
    {
        if (name != m_lastName) {
            m_lastNumber = Prefectures::number(name);
            m_lastName = name.toString();
        }
        return m_lastNumber;
    }

private:
    QString m_lastName;
    int m_lastNumber = 0;
};

// Japan Post's kana made full-width, kept until the record is handed on.
class KanaBuffer {
public:
    QStringView fullWidth(QStringView kana)
    {
        if (m_text.size() < kana.size())
            m_text.resize(kana.size());
        auto *out = reinterpret_cast<char16_t *>(m_text.data());
        return QStringView(out, PostalText::fullWidthKana(kana, out));
    }

private:
    QString m_text;
};

bool isFloor(QStringView note)
{
    // "（１階）" … "（５２階）": a building floor with a code of its own.
    if (note.size() < 4 || !note.startsWith(u'（') || !note.endsWith(u"階）"))
        return false;
    for (QChar c : note.sliced(1, note.size() - 3))
        if (c < u'０' || c > u'９')
            return false;
    return true;
}

int openBrackets(QStringView town)
{
    int open = 0;
    for (QChar c : town)
        open += c == u'（' ? 1 : c == u'）' ? -1 : 0;
    return open;
}

// KEN_ALL's lines into towns: a record is handed on once the line after its last is read.
class KenAllParser {
public:
    explicit KenAllParser(const JapanPostReader::Sink &sink) : m_sink(sink) {}

    // The line's prefecture, or 0 when the line is refused.
    int line(const std::array<QStringView, 15> &f)
    {
        const auto code = readCode(f[2]);
        const int prefecture = m_prefectures.number(f[6]);
        if (!code || prefecture == 0 || f[7].isEmpty())
            return 0;
        // A town too long for one record goes on in the next ones of the same code, until the
        // bracket opened in the first is closed.
        if (m_havePending && m_openBrackets > 0 && m_code == *code && m_city == f[7]) {
            if (!m_joined) {
                // Their line's buffer is about to be written over.
                m_joinedCity = m_city.toString();
                m_city = m_joinedCity;
                m_joinedTown = m_town.toString();
                m_joinedKana = m_kana.toString();
                m_joined = true;
            }
            m_joinedTown += f[8];
            m_openBrackets += openBrackets(f[8]);
            if (!m_joinedKana.endsWith(f[5]))
                m_joinedKana += f[5];
            return prefecture;
        }
        finish();
        m_havePending = true;
        m_joined = false;
        m_code = *code;
        m_prefecture = prefecture;
        m_city = f[7];
        m_town = f[8];
        m_kana = f[5];
        m_openBrackets = openBrackets(m_town);
        return prefecture;
    }

    // Hands on the record still pending.
    void finish()
    {
        if (!m_havePending)
            return;
        m_havePending = false;
        PostalRecordView r;
        r.code = m_code;
        r.prefecture = m_prefecture;
        r.city = m_city;
        const QStringView town = m_joined ? QStringView(m_joinedTown) : m_town;
        r.kana = m_kanaBuffer.fullWidth(m_joined ? QStringView(m_joinedKana) : m_kana);
        if (const qsizetype paren = r.kana.indexOf(u'('); paren >= 0)
            r.kana.truncate(paren);

        // "一円" marks a town that covers the whole municipality: 檜原村 → "檜原村一円". Where the part
        // before it is not the municipality's own name, as 多賀町's district "一円", it is a place.
        const bool wholeMunicipality =
            town.size() > 2 && town.endsWith(u"一円") && r.city.endsWith(town.chopped(2));
        if (town == u"以下に掲載がない場合" || town.endsWith(u"の次に番地がくる場合") || wholeMunicipality) {
            // The city's own codes: kept apart by their notes, since the search must tell the code of
            // an address going on with a number from the one for towns that are not listed.
            r.kana = QStringView();
            if (!wholeMunicipality) {
                m_note = QString(QChar(u'（')).append(town).append(QChar(u'）'));
                r.note = m_note;
            }
        } else if (const qsizetype paren = town.indexOf(u'（'); paren < 0) {
            r.town = town;
        } else {
            r.town = town.first(paren);
            const QStringView note = town.sliced(paren);
            if (isFloor(note))
                r.street = note.sliced(1, note.size() - 2);
            else
                r.note = note;
        }
        m_sink(r);
    }

private:
    const JapanPostReader::Sink &m_sink;
    PrefectureNames m_prefectures;
    KanaBuffer m_kanaBuffer;
    bool m_havePending = false;
    quint32 m_code = 0;
    int m_prefecture = 0;
    QStringView m_city;
    QStringView m_town;
    QStringView m_kana;
    // Kept as lines are joined, not counted again over the whole town: a town may run on for
    // thousands of lines.
    int m_openBrackets = 0;
    bool m_joined = false; // the town and kana are in m_joinedTown and m_joinedKana
    QString m_joinedCity;
    QString m_joinedTown;
    QString m_joinedKana;
    QString m_note;
};

template <typename Decode>
bool parseKenAll(QByteArrayView bytes, Decode decode, const JapanPostReader::Sink &sink)
{
    KenAllParser parser(sink);
    return forEachCsvLine<15>(
        bytes, decode, [&parser](const std::array<QStringView, 15> &f) { return parser.line(f); },
        [&parser] { parser.finish(); });
}

template <typename Decode>
bool parseJigyosyo(QByteArrayView bytes, Decode decode, const JapanPostReader::Sink &sink)
{
    PrefectureNames prefectures;
    KanaBuffer kana;
    return forEachCsvLine<13>(
        bytes, decode,
        [&](const std::array<QStringView, 13> &f) {
            const auto code = readCode(f[7]);
            const int prefecture = prefectures.number(f[3]);
            if (!code || prefecture == 0 || f[4].isEmpty() || f[2].isEmpty())
                return 0;
            PostalRecordView r;
            r.code = *code;
            r.prefecture = prefecture;
            r.city = f[4];
            r.town = f[5];
            r.street = f[6];
            r.business = f[2];
            r.kana = kana.fullWidth(f[1]);
            r.isBusiness = true;
            sink(r);
            return prefecture;
        },
        [] {});
}

auto cp932Lines(const Cp932Codec &codec)
{
    return [&codec](QByteArrayView line, char16_t *out) { return codec.decodeInto(line, out); };
}

// UTF-8 lines, one decoder for the file: whether its error count goes on or starts again with each
// line, it is looked at after each.
class Utf8Lines {
public:
    qsizetype operator()(QByteArrayView line, char16_t *out)
    {
        // Never more UTF-16 units than UTF-8 bytes.
        const QChar *end = m_decoder.appendToBuffer(reinterpret_cast<QChar *>(out), line);
        return m_decoder.hasError() ? -1 : end - reinterpret_cast<const QChar *>(out);
    }

private:
    QStringDecoder m_decoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};

} // namespace

bool JapanPostReader::readKenAllCp932(const QByteArray &bytes, const Cp932Codec &codec, const Sink &sink)
{
    return ::parseKenAll(bytes, cp932Lines(codec), sink);
}

bool JapanPostReader::readKenAllUtf8(const QByteArray &bytes, const Sink &sink)
{
    Utf8Lines decode;
    return ::parseKenAll(Utf8ByteOrderMark::skipped(bytes), std::ref(decode), sink);
}

bool JapanPostReader::readJigyosyo(const QByteArray &bytes, const Cp932Codec &codec, const Sink &sink)
{
    return ::parseJigyosyo(bytes, cp932Lines(codec), sink);
}
