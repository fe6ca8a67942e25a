#include "address/TownReader.h"

#include "address/CityFinder.h"
#include "address/NotePart.h"
#include "address/PostalKey.h"
#include "address/TypedNumbers.h"

#include <QVarLengthArray>
#include <algorithm>

using namespace AddressNumbers;

namespace {

// Long enough for any address and for all of a Kyoto note's street forms, so that a look-up stays
// on the stack.
using Folded = PostalText::Folded;

constexpr QStringView kCityCodeNote = u"（以下に掲載がない場合）";
constexpr QStringView kNumberAfterCityNote = u"の次に番地がくる場合）";

qsizetype foldedLength(QStringView text)
{
    return PostalText::folded(text).size();
}

QStringView viewOf(const Folded &text, qsizetype from = 0)
{
    return QStringView(text.constData(), text.size()).mid(from);
}

// The address as it is found: the folded text (with 大字, 小字 and 字 left out up to the end of the key
// where that is how the town was found), the town's entries, and what follows the key.
struct Lookup {
    Folded text;
    PostalDirectory::Entries entries;
    qsizetype keyLength = 0;
    Folded rest;
    QStringView street; // a Kyoto street before the town, in text
    bool wroteOaza = false;

    void setRest(const Folded &from, qsizetype at)
    {
        rest.clear();
        rest.append(from.constData() + at, from.size() - at);
    }
};

// The length of 大字, 小字 or 字 at i, else 0.
qsizetype sectionWordAt(QStringView text, qsizetype i)
{
    const QStringView at = text.mid(i);
    return at.startsWith(u"大字") || at.startsWith(u"小字") ? 2 : at.startsWith(u'字') ? 1 : 0;
}

// The longest key, looked for also with 大字, 小字 and 字 left out, which Japan Post's towns never
// write: the look-up that reads further into the address wins, so that names holding 字 (十文字,
// 阿字ケ浦町) are still found as they are.
void findPastSectionWords(const PostalDirectory &directory, Lookup &l)
{
    Folded plain;
    QVarLengthArray<qsizetype, 256> origin; // where in text each unit of plain comes from
    for (qsizetype i = 0; i < l.text.size();) {
        if (const qsizetype word = sectionWordAt(viewOf(l.text), i)) {
            i += word;
            continue;
        }
        plain.append(l.text[i]);
        origin.append(i++);
    }
    qsizetype length = 0;
    PostalDirectory::Entries entries = directory.findLongestKey(viewOf(plain), &length);
    const qsizetype end = length > 0 ? origin[length - 1] + 1 : 0;
    if (end <= l.keyLength)
        return;
    l.wroteOaza = viewOf(l.text).first(end).contains(u"大字");
    Folded text;
    text.append(plain.constData(), length);
    text.append(l.text.constData() + end, l.text.size() - end);
    l.text = text;
    l.entries = entries;
    l.keyLength = length;
}

void findTown(const PostalDirectory &directory, Lookup &l)
{
    l.entries = directory.findLongestKey(viewOf(l.text), &l.keyLength);
    l.wroteOaza = viewOf(l.text).first(l.keyLength).contains(u"大字");
    // Most addresses write none of these words: no second look-up for them.
    if (viewOf(l.text).contains(u'字'))
        findPastSectionWords(directory, l);
    l.setRest(l.text, l.keyLength);
}

// Kyoto's ways of saying which way along a street: 上る, 下ル, 上がる, 西入, 東入ル …
const QStringView kDirections[] = {u"上る",   u"下る",   u"上ル", u"下ル",
                                   u"上ケる", u"下ケる", u"西入", u"東入"};

// The end of the last direction word, with its okurigana and a chome along the street (四条下る2丁目);
// 0 when there is none.
qsizetype afterLastDirection(QStringView text)
{
    qsizetype end = 0;
    for (QStringView word : kDirections)
        for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1))
            end = std::max(end, at + word.size());
    if (end == 0)
        return 0;
    if (end < text.size() && (text[end] == u'ル' || text[end] == u'る'))
        ++end;
    qsizetype chome = end;
    if (read(text, chome) != kNone && takeUnit(text, chome) == Unit::Chome)
        end = chome;
    return end;
}

// Kyoto: "烏丸通塩小路下る東塩小路町": the town comes after the street, which may itself begin with a
// town's name; not where the words are part of the town found (東入船町, 大野見下ル川).
void skipKyotoStreet(const PostalDirectory &directory, Lookup &l)
{
    const qsizetype cityEnd = l.keyLength - foldedLength(l.entries.front().town);
    const qsizetype direction = afterLastDirection(viewOf(l.text, cityEnd));
    if (cityEnd + direction <= l.keyLength)
        return;
    Folded shortened;
    shortened.append(l.text.constData(), cityEnd);
    shortened.append(l.text.constData() + cityEnd + direction, l.text.size() - cityEnd - direction);
    qsizetype length = 0;
    PostalDirectory::Entries town = directory.findLongestKey(viewOf(shortened), &length);
    if (length > cityEnd && !town.front().town.isEmpty()) {
        l.entries = town;
        l.street = viewOf(l.text).mid(cityEnd, direction);
        l.setRest(shortened, length);
    }
}

// A building named after the block numbers: the town followed by each later part of the address.
void findBuilding(const PostalDirectory &directory, Lookup &l)
{
    const bool mayHaveBuildings = std::any_of(l.entries.begin(), l.entries.end(), [](const PostalEntry &e) {
        return e.note == u"（次のビルを除く）" || e.note == u"（その他）";
    });
    for (qsizetype from = 1; mayHaveBuildings && from < l.rest.size(); ++from) {
        // A name begins after the numbers, not within them or within another word.
        const char16_t at = l.rest[from];
        const char16_t before = l.rest[from - 1];
        if (isDigit(at) || at == u'-' ||
            !(isDigit(before) || before == u'-' || before == u'目' || before == u'番' || before == u'地' ||
              before == u'号'))
            continue;
        Folded building;
        building.append(l.text.constData(), l.keyLength);
        building.append(l.rest.constData() + from, l.rest.size() - from);
        qsizetype length = 0;
        PostalDirectory::Entries found = directory.findLongestKey(viewOf(building), &length);
        if (length > l.keyLength) {
            l.entries = found;
            l.setRest(building, length);
            return;
        }
    }
}

// A street form as compared: okurigana dropped, so that 上ル, 上る and 上がる are one.
void appendStreet(Folded &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'る' || c == u'ル' ||
            (c == u'ケ' && i > 0 && (text[i - 1] == u'上' || text[i - 1] == u'下')))
            continue;
        out.append(c.unicode());
    }
}

// A floor of a building: "１２階" in the street, or in the note after a part of the building, as in
// "（高層棟）（１２階）".
Verdict judgeFloor(const PostalEntry &entry, bool floorNote, const TypedNumbers &numbers)
{
    qsizetype pos = 0;
    Folded floor;
    PostalKey::appendFolded(floor,
                            floorNote ? entry.note.mid(entry.note.lastIndexOf(u'（') + 1) : entry.street);
    return numbers.floor != kNone && read(viewOf(floor), pos) == numbers.floor ? Verdict::Fits
                                                                               : Verdict::RuledOut;
}

// How a note's parts, divided by "、" or "・" but not within 「」 (an exception to a part), stand to
// the address. named: the length of the name by which it fits, so that 七瀬中町 beats 七瀬 in
// "鶴賀七瀬中町".
Verdict judgeNote(const PostalEntry &entry, const Lookup &l, const TypedNumbers &numbers, qsizetype &named)
{
    Folded note;
    PostalKey::appendFolded(note, entry.note.mid(1, entry.note.size() - 2));
    QVarLengthArray<QStringView, 16> texts;
    NotePart::List parts;
    int depth = 0;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= note.size(); ++i) {
        const char16_t c = i < note.size() ? note[i] : u'、';
        depth += c == u'「' || c == u'（' ? 1 : c == u'」' || c == u'）' ? -1 : 0;
        if ((c == u'、' || c == u'・') && depth <= 0) {
            texts.append(viewOf(note).mid(from, i - from));
            parts.append(NotePart::read(texts.back()));
            from = i + 1;
        }
    }
    NotePart::completeUnits(parts);

    const QStringView rest = viewOf(l.rest);
    const bool sectionGiven = rest.startsWith(u'字') || rest.startsWith(u"小字");
    Folded typedStreet;
    appendStreet(typedStreet, l.street);
    Verdict verdict = Verdict::RuledOut;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        Verdict v = Verdict::Unknown;
        if (parts[i].isNumber) {
            v = parts[i].judge(numbers, rest);
        } else if (texts[i] == u"大字") {
            // The address written with 大字 before the town, as against the town's other forms.
            v = l.wroteOaza ? Verdict::Fits : Verdict::Unknown;
        } else if (!l.street.isEmpty()) {
            // Kyoto's street forms: the address's street is one of them.
            Folded form;
            appendStreet(form, texts[i]);
            if (!texts[i].isEmpty() && (rest.contains(texts[i]) || viewOf(form) == viewOf(typedStreet))) {
                v = Verdict::Fits;
                named = texts[i].size();
            }
        } else {
            qsizetype length = 0;
            v = NotePart::judgeName(texts[i], rest, sectionGiven, length);
            named = std::max(named, length);
        }
        if (v == Verdict::Fits)
            return v;
        if (v == Verdict::Unknown)
            verdict = v;
    }
    return verdict;
}

Verdict judge(const PostalEntry &entry, const Lookup &l, const TypedNumbers &numbers, qsizetype &named)
{
    const bool floorNote = entry.note.endsWith(u"階）") && !entry.note.endsWith(u"不明）");
    if (!entry.street.isEmpty() || floorNote)
        return judgeFloor(entry, floorNote, numbers);
    if (entry.town.isEmpty() && entry.note.endsWith(kNumberAfterCityNote)) {
        const QStringView rest = viewOf(l.rest);
        return !rest.isEmpty() && (isDigit(rest[0]) || rest[0] == u'十') ? Verdict::Fits : Verdict::RuledOut;
    }
    if (entry.note.isEmpty())
        return Verdict::Unknown;
    if (entry.note == u"（その他）" || entry.note == u"（次のビルを除く）" || entry.note == kCityCodeNote ||
        entry.note.endsWith(u"（地階・階層不明）"))
        return Verdict::Fallback;
    return judgeNote(entry, l, numbers, named);
}

PostalDirectory::Entries choose(const Lookup &l)
{
    if (l.entries.size() == 1)
        return l.entries;
    const TypedNumbers numbers = TypedNumbers::read(viewOf(l.rest));
    QVarLengthArray<Verdict, 8> verdicts;
    QVarLengthArray<qsizetype, 8> named;
    qsizetype longestName = 0;
    for (const PostalEntry &e : l.entries) {
        named.append(0);
        verdicts.append(judge(e, l, numbers, named.back()));
        longestName = std::max(longestName, named.back());
    }
    int fits = 0;
    int open = 0; // neither ruled out nor a fallback
    for (qsizetype i = 0; i < verdicts.size(); ++i) {
        if (verdicts[i] == Verdict::Fits && named[i] < longestName)
            verdicts[i] = Verdict::RuledOut;
        fits += verdicts[i] == Verdict::Fits ? 1 : 0;
        open += verdicts[i] == Verdict::Fits || verdicts[i] == Verdict::Unknown ? 1 : 0;
    }
    const auto keep = [&](auto wanted) {
        PostalDirectory::Entries kept;
        for (qsizetype i = 0; i < l.entries.size(); ++i)
            if (wanted(verdicts[i]))
                kept.append(l.entries[i]);
        return kept;
    };
    if (fits > 0)
        return keep([](Verdict v) { return v == Verdict::Fits; });
    if (open == 0) {
        PostalDirectory::Entries fallback = keep([](Verdict v) { return v == Verdict::Fallback; });
        return fallback.isEmpty() ? l.entries : fallback;
    }
    return keep([](Verdict v) { return v != Verdict::RuledOut; });
}

// A look-up without a city that stops before 市, 区 or 郡, or before 町 or 村 that make the town's name a
// city's, read a city's name as a town: 宮城県塩釜 followed by "市本町", 北海道ニセコ followed by "町字…".
bool readsCityAsTown(const PostalDirectory &directory, const Lookup &l)
{
    const QStringView after = viewOf(l.text, l.keyLength);
    if (after.isEmpty() || l.entries.isEmpty())
        return false;
    if (after[0] == u'市' || after[0] == u'区' || after[0] == u'郡')
        return true;
    if (after[0] != u'町' && after[0] != u'村')
        return false;
    Folded named = PostalText::folded(l.entries.front().town);
    named.append(after[0].unicode());
    return directory.cities().isCityName(viewOf(named));
}

} // namespace

bool TownReader::goesOnWithNumbers(QStringView after)
{
    return after.isEmpty() || isDigit(after[0]) || after[0] == u'-' || after[0] == u'字' ||
           after[0] == u'第' || after.startsWith(u"大字") || after.startsWith(u"小字") ||
           (after.size() > 1 && after[0] == u'の' && isDigit(after[1]));
}

TownReader::Answer TownReader::read(const PostalDirectory &directory, const PostalText::Folded &text)
{
    Lookup l;
    l.text = text;
    findTown(directory, l);
    if (l.entries.isEmpty())
        return {};
    Answer a;
    a.keyLength = l.keyLength;
    a.readCityAsTown = readsCityAsTown(directory, l);
    skipKyotoStreet(directory, l);
    findBuilding(directory, l);
    a.entries = choose(l);
    a.cityCodeOnly = a.entries.size() == 1 && a.entries.front().town.isEmpty() &&
                     a.entries.front().note == kCityCodeNote && !l.rest.isEmpty();
    a.numberAfterCity = a.entries.size() == 1 && a.entries.front().town.isEmpty() &&
                        a.entries.front().note.endsWith(kNumberAfterCityNote);
    a.nameAfterTown =
        !goesOnWithNumbers(viewOf(l.rest)) && !a.entries.isEmpty() && !a.entries.front().town.isEmpty();
    return a;
}
