#include "address/JapanPostReader.h"

#include "address/PostalDirectory.h"
#include "address/PostalText.h"
#include "core/Cp932Codec.h"

#include <QStringDecoder>
#include <QStringList>

namespace {

// Splits one CSV line; quoted fields may hold commas and doubled quotes. No value for a quote that
// is not closed.
std::optional<QStringList> splitCsv(QStringView line)
{
    QStringList fields;
    qsizetype i = 0;
    while (true) {
        QString field;
        if (i < line.size() && line[i] == u'"') {
            ++i;
            while (true) {
                if (i >= line.size())
                    return std::nullopt;
                if (line[i] == u'"') {
                    if (i + 1 < line.size() && line[i + 1] == u'"') {
                        field.append(u'"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field.append(line[i++]);
            }
            if (i < line.size() && line[i] != u',')
                return std::nullopt;
        } else {
            const qsizetype comma = line.indexOf(u',', i);
            const qsizetype end = comma < 0 ? line.size() : comma;
            field = line.mid(i, end - i).toString();
            i = end;
        }
        fields.append(field);
        if (i >= line.size())
            return fields;
        ++i; // the comma
    }
}

std::optional<quint32> readCode(const QString &text)
{
    if (text.size() != 7)
        return std::nullopt;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    return text.toUInt();
}

// Calls handle for each CSV line of the text (blank lines skipped); stops and fails at the first line
// that handle refuses or that cannot be split.
template <typename Handle> bool forEachCsvLine(const QString &text, Handle handle)
{
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf(u'\n', pos);
        if (end < 0)
            end = text.size();
        QStringView line = QStringView(text).mid(pos, end - pos);
        pos = end + 1;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const auto fields = splitCsv(line);
        if (!fields || !handle(*fields))
            return false;
    }
    return true;
}

int openBrackets(QStringView town)
{
    return int(town.count(u'（')) - int(town.count(u'）'));
}

bool isFloor(QStringView note)
{
    // "（１階）" … "（５２階）": a building floor with a code of its own.
    if (note.size() < 4 || !note.startsWith(u'（') || !note.endsWith(u"階）"))
        return false;
    for (QChar c : note.mid(1, note.size() - 3))
        if (c < u'０' || c > u'９')
            return false;
    return true;
}

// Turns Japan Post's town column (already joined) into town, note and street.
void shapeTown(PostalRecord &r, const QString &town, const QString &kana)
{
    r.kana = PostalText::fullWidthKana(kana);
    if (const qsizetype paren = r.kana.indexOf(u'('); paren >= 0)
        r.kana.truncate(paren);

    // "一円" marks a town that covers the whole municipality: 檜原村 → "檜原村一円". Where the part
    // before it is not the municipality's own name, as 多賀町's district "一円", it is a place.
    const bool wholeMunicipality =
        town.size() > 2 && town.endsWith(u"一円") && r.city.endsWith(QStringView(town).chopped(2));
    if (town == u"以下に掲載がない場合" || town.endsWith(u"の次に番地がくる場合") || wholeMunicipality) {
        r.town.clear();
        r.kana.clear();
        return;
    }
    const qsizetype paren = town.indexOf(u'（');
    if (paren < 0) {
        r.town = town;
        return;
    }
    r.town = town.left(paren);
    const QString note = town.mid(paren);
    if (isFloor(note))
        r.street = note.mid(1, note.size() - 2);
    else
        r.note = note;
}

std::optional<QString> decodeUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

std::optional<QList<PostalRecord>> JapanPostReader::parseKenAll(const QString &text)
{
    QList<PostalRecord> records;
    PostalRecord pending;
    QString town;
    QString kana;
    // Kept as lines are joined, not counted again over the whole town: a town may run on for
    // thousands of lines.
    int openBracketCount = 0;
    bool havePending = false;
    auto flush = [&] {
        if (havePending)
            shapeTown(records.emplace_back(std::move(pending)), town, kana);
        havePending = false;
        pending = PostalRecord();
    };
    const bool ok = forEachCsvLine(text, [&](const QStringList &f) {
        if (f.size() != 15)
            return false;
        const auto code = readCode(f[2]);
        const int prefecture = PostalDirectory::prefectureNumber(f[6]);
        if (!code || prefecture == 0 || f[7].isEmpty())
            return false;
        // A town too long for one record goes on in the next ones of the same code, until the
        // bracket opened in the first is closed.
        if (havePending && openBracketCount > 0 && pending.code == *code && pending.city == f[7]) {
            town += f[8];
            openBracketCount += openBrackets(f[8]);
            if (!kana.endsWith(f[5]))
                kana += f[5];
            return true;
        }
        flush();
        havePending = true;
        pending.code = *code;
        pending.prefecture = prefecture;
        pending.city = f[7];
        town = f[8];
        kana = f[5];
        openBracketCount = openBrackets(town);
        return true;
    });
    flush();
    if (!ok || records.isEmpty())
        return std::nullopt;
    return records;
}

std::optional<QList<PostalRecord>> JapanPostReader::parseJigyosyo(const QString &text)
{
    QList<PostalRecord> records;
    const bool ok = forEachCsvLine(text, [&](const QStringList &f) {
        if (f.size() != 13)
            return false;
        const auto code = readCode(f[7]);
        const int prefecture = PostalDirectory::prefectureNumber(f[3]);
        if (!code || prefecture == 0 || f[4].isEmpty() || f[2].isEmpty())
            return false;
        PostalRecord &r = records.emplace_back();
        r.code = *code;
        r.prefecture = prefecture;
        r.city = f[4];
        r.town = f[5];
        r.street = f[6];
        r.business = f[2];
        r.kana = PostalText::fullWidthKana(f[1]);
        r.isBusiness = true;
        return true;
    });
    if (!ok || records.isEmpty())
        return std::nullopt;
    return records;
}

std::optional<QList<PostalRecord>> JapanPostReader::readKenAllCp932(const QByteArray &bytes,
                                                                    const Cp932Codec &codec)
{
    const auto text = codec.decode(bytes);
    return text ? parseKenAll(*text) : std::nullopt;
}

std::optional<QList<PostalRecord>> JapanPostReader::readKenAllUtf8(const QByteArray &bytes)
{
    const auto text = decodeUtf8(bytes);
    return text ? parseKenAll(*text) : std::nullopt;
}

std::optional<QList<PostalRecord>> JapanPostReader::readJigyosyo(const QByteArray &bytes,
                                                                 const Cp932Codec &codec)
{
    const auto text = codec.decode(bytes);
    return text ? parseJigyosyo(*text) : std::nullopt;
}
