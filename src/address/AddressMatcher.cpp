#include "address/AddressMatcher.h"

#include "address/PostalKey.h"
#include "address/PostalText.h"

#include <QVarLengthArray>
#include <algorithm>
#include <limits>
#include <utility>

namespace {

// Long enough for any address and for all of a Kyoto note's street forms, so that a look-up stays
// on the stack.
using Folded = QVarLengthArray<char16_t, 256>;

constexpr int kNone = -1;
constexpr int kNoLimit = std::numeric_limits<int>::max();

qsizetype foldedLength(QStringView text)
{
    qsizetype n = 0;
    for (QChar ch : text)
        n += PostalText::fold(ch.unicode()) ? 1 : 0;
    return n;
}

QStringView viewOf(const Folded &text, qsizetype from = 0)
{
    return QStringView(text.constData(), text.size()).mid(from);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A number as addresses write it, once folded: 12, 1十2 (十二), 十, 2十 (二十).
int readNumber(QStringView text, qsizetype &pos)
{
    int value = 0;
    int pending = kNone;
    bool any = false;
    // Addresses have no numbers of more than six digits; a longer run is cut rather than overflowed.
    for (; pos < text.size() && value < 1000000 && pending < 1000000; ++pos) {
        if (isDigit(text[pos])) {
            pending = (pending == kNone ? 0 : pending * 10) + (text[pos].unicode() - u'0');
        } else if (text[pos] == u'十') {
            value += (pending == kNone ? 1 : pending) * 10;
            pending = kNone;
        } else {
            break;
        }
        any = true;
    }
    return any ? value + (pending == kNone ? 0 : pending) : kNone;
}

bool takeWord(QStringView text, qsizetype &pos, QStringView word)
{
    if (!text.mid(pos).startsWith(word))
        return false;
    pos += word.size();
    return true;
}

enum class Unit { None, Chome, Block, Other };

// A unit after a number; for Unit::Other (北海道's 区, 線 and 条, 岩手県's 地割) word tells which.
Unit takeUnit(QStringView text, qsizetype &pos, QStringView *word = nullptr)
{
    if (takeWord(text, pos, u"丁目") || takeWord(text, pos, u"丁"))
        return Unit::Chome;
    if (takeWord(text, pos, u"番地") || takeWord(text, pos, u"番"))
        return Unit::Block;
    for (QStringView other : {u"地割", u"区", u"線", u"条"}) {
        if (takeWord(text, pos, other)) {
            if (word)
                *word = other;
            return Unit::Other;
        }
    }
    return Unit::None;
}

// A number with the one after it where the data or the address gives one: 2794-12, 40の1.
struct Number {
    int major = kNone;
    int minor = kNone;
};

Number readNumberPair(QStringView text, qsizetype &pos)
{
    Number n;
    takeWord(text, pos, u"第");
    n.major = readNumber(text, pos);
    if (n.major != kNone && pos + 1 < text.size() && (text[pos] == u'-' || text[pos] == u'の') &&
        isDigit(text[pos + 1])) {
        ++pos;
        n.minor = readNumber(text, pos);
    }
    return n;
}

// The leading numbers of what follows the town: "6-10-1", "6丁目10番1号", "123番地", "2794-12".
struct AddressNumbers {
    int first = kNone;
    Unit firstUnit = Unit::None;
    int second = kNone;
    int third = kNone;
    int floor = kNone;
};

AddressNumbers readAddressNumbers(QStringView rest)
{
    AddressNumbers n;
    qsizetype pos = 0;
    takeWord(rest, pos, u"第");
    n.first = readNumber(rest, pos);
    if (n.first != kNone) {
        n.firstUnit = takeUnit(rest, pos);
        if (n.firstUnit == Unit::None && !takeWord(rest, pos, u"-"))
            takeWord(rest, pos, u"の");
        n.second = readNumber(rest, pos);
        if (n.second != kNone && takeUnit(rest, pos) == Unit::None && !takeWord(rest, pos, u"-"))
            takeWord(rest, pos, u"の");
        n.third = readNumber(rest, pos);
    }
    // The floor is the last number marked as one: "12階", "12F"; a basement (地下1階, B1F) is none.
    for (qsizetype i = 0; i < rest.size();) {
        const bool basement = rest.left(i).endsWith(u"地下") || rest.left(i).endsWith(u'b');
        const int number = readNumber(rest, i);
        if (number == kNone)
            ++i;
        else if (i < rest.size() && (rest[i] == u'階' || rest[i] == u'f'))
            n.floor = basement ? kNone : number;
    }
    return n;
}

enum class Verdict { Fits, RuledOut, Unknown, Fallback };

struct Range {
    Number low;
    Number high;
};

// Whether major-minor lies in the range; unknown where the range's end has a minor number and the
// address gives none.
Verdict holds(const Range &r, int major, int minor)
{
    if (major == kNone)
        return Verdict::Unknown;
    if (major < r.low.major || major > r.high.major)
        return Verdict::RuledOut;
    for (const auto &[end, below] : {std::pair{r.low, true}, std::pair{r.high, false}}) {
        if (major != end.major || end.minor == kNone)
            continue;
        if (minor == kNone)
            return Verdict::Unknown;
        if (below ? minor < end.minor : minor > end.minor)
            return Verdict::RuledOut;
    }
    return Verdict::Fits;
}

// One part of a note of numbers: "1~19丁目", "5丁目1番地", "200番以上", "67-4~113-7番地", "第9地割~第11地割",
// "丁目"; a part without a unit takes that of the list's next part ("1、2丁目").
struct NumberPart {
    Unit unit = Unit::None;
    QStringView word;
    Range range;
    Range blocks; // after a chome: "4丁目55~114番地"
    Range gos;    // after those: "2丁目1番1~23号"
};

Range readRange(QStringView text, qsizetype &pos)
{
    Range r;
    r.low = r.high = readNumberPair(text, pos);
    if (r.low.major != kNone && takeWord(text, pos, u"~"))
        r.high = readNumberPair(text, pos);
    return r;
}

bool readNumberPart(QStringView part, NumberPart &out)
{
    qsizetype pos = 0;
    out.range.low = out.range.high = readNumberPair(part, pos);
    out.unit = takeUnit(part, pos, &out.word);
    if (out.range.low.major != kNone && takeWord(part, pos, u"~")) {
        out.range.high = readNumberPair(part, pos);
        QStringView word;
        const Unit unit = takeUnit(part, pos, &word);
        if (out.range.high.major == kNone ||
            (out.unit != Unit::None && unit != Unit::None && unit != out.unit))
            return false;
        if (unit != Unit::None) {
            out.unit = unit;
            out.word = word;
        }
    }
    if (out.unit == Unit::Chome && out.range.low.major != kNone && pos < part.size()) {
        out.blocks = readRange(part, pos);
        if (out.blocks.high.major == kNone || takeUnit(part, pos) != Unit::Block)
            return false;
        if (pos < part.size() && isDigit(part[pos])) {
            out.gos = readRange(part, pos);
            if (out.gos.high.major == kNone || !takeWord(part, pos, u"号"))
                return false;
        }
    }
    if (takeWord(part, pos, u"以上"))
        (out.blocks.low.major != kNone ? out.blocks : out.range).high = Number{kNoLimit, kNone};
    return pos == part.size() && (out.range.low.major != kNone || out.unit != Unit::None);
}

Verdict judgeNumbers(const NumberPart &p, const AddressNumbers &a, QStringView rest)
{
    if (p.range.low.major == kNone) // "（丁目）", "（番地）": how the address is written
        return a.firstUnit == Unit::None || p.unit == Unit::Other ? Verdict::Unknown
               : a.firstUnit == p.unit                            ? Verdict::Fits
                                                                  : Verdict::RuledOut;
    switch (p.unit) {
    case Unit::Chome: {
        if (a.firstUnit == Unit::Block)
            return Verdict::RuledOut;
        const Verdict chome = holds(p.range, a.first, kNone);
        if (chome != Verdict::Fits || p.blocks.low.major == kNone)
            return chome;
        const Verdict block = holds(p.blocks, a.second, a.third);
        return block != Verdict::Fits || p.gos.low.major == kNone ? block : holds(p.gos, a.third, kNone);
    }
    case Unit::Other:
        // "瀬棚区本町1区", "士幌東3線": the number the address gives with the same unit.
        for (qsizetype pos = 0; pos < rest.size();) {
            const Number n = readNumberPair(rest, pos);
            if (n.major == kNone)
                ++pos;
            else if (QStringView word; takeUnit(rest, pos, &word) == Unit::Other && word == p.word)
                return holds(p.range, n.major, kNone);
        }
        return Verdict::Unknown;
    default:
        return a.firstUnit == Unit::Chome ? Verdict::RuledOut : holds(p.range, a.first, a.second);
    }
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
    if (readNumber(text, chome) != kNone && takeUnit(text, chome) == Unit::Chome)
        end = chome;
    return end;
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

// named: the length of the name by which it fits, so that 七瀬中町 beats 七瀬 in "鶴賀七瀬中町".
Verdict judge(const PostalEntry &entry, QStringView rest, const AddressNumbers &numbers, QStringView street,
              qsizetype &named)
{
    // A floor of a building: "１２階" in the street, or in the note after a part of the building, as in
    // "（高層棟）（１２階）".
    const bool floorNote = entry.note.endsWith(u"階）") && !entry.note.endsWith(u"不明）");
    if (!entry.street.isEmpty() || floorNote) {
        qsizetype pos = 0;
        Folded floor;
        PostalKey::appendFolded(floor,
                                floorNote ? entry.note.mid(entry.note.lastIndexOf(u'（') + 1) : entry.street);
        return numbers.floor != kNone && readNumber(viewOf(floor), pos) == numbers.floor ? Verdict::Fits
                                                                                         : Verdict::RuledOut;
    }
    if (entry.note.isEmpty())
        return Verdict::Unknown;
    if (entry.note == u"（その他）" || entry.note == u"（次のビルを除く）" ||
        entry.note.endsWith(u"（地階・階層不明）"))
        return Verdict::Fallback;
    Folded note;
    PostalKey::appendFolded(note, entry.note.mid(1, entry.note.size() - 2));
    // The parts of the list, divided by "、" or "・", but not within 「」 (an exception to a part).
    QVarLengthArray<QStringView, 16> parts;
    int depth = 0;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= note.size(); ++i) {
        const char16_t c = i < note.size() ? note[i] : u'、';
        depth += c == u'「' || c == u'（' ? 1 : c == u'」' || c == u'）' ? -1 : 0;
        if ((c == u'、' || c == u'・') && depth <= 0) {
            parts.append(viewOf(note).mid(from, i - from));
            from = i + 1;
        }
    }
    QVarLengthArray<NumberPart, 16> numberParts(parts.size());
    QVarLengthArray<bool, 16> isNumber(parts.size());
    for (qsizetype i = 0; i < parts.size(); ++i)
        isNumber[i] = readNumberPart(parts[i], numberParts[i]);
    // A list writes the unit once, at its end ("1、2丁目"), and a chome once, at its first blocks
    // ("2丁目1番1~23号、2番").
    for (qsizetype i = parts.size() - 2; i >= 0; --i) {
        if (isNumber[i] && numberParts[i].unit == Unit::None) {
            const bool next = isNumber[i + 1];
            numberParts[i].unit = next ? numberParts[i + 1].unit : Unit::Block;
            numberParts[i].word = next ? numberParts[i + 1].word : QStringView();
        }
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        NumberPart &p = numberParts[i];
        if (p.unit == Unit::None)
            p.unit = Unit::Block;
        if (i > 0 && isNumber[i] && isNumber[i - 1] && p.unit == Unit::Block && p.blocks.low.major == kNone &&
            numberParts[i - 1].unit == Unit::Chome && numberParts[i - 1].blocks.low.major != kNone) {
            p.blocks = p.range;
            p.range = numberParts[i - 1].range;
            p.unit = Unit::Chome;
        }
    }

    Folded typedStreet;
    appendStreet(typedStreet, street);
    Verdict verdict = Verdict::RuledOut;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        Verdict v = Verdict::Unknown;
        if (isNumber[i]) {
            v = judgeNumbers(numberParts[i], numbers, rest);
        } else {
            // Place names and Kyoto's street forms: the address names one of them.
            Folded form;
            appendStreet(form, parts[i]);
            if (!parts[i].isEmpty() &&
                (rest.contains(parts[i]) || (!street.isEmpty() && viewOf(form) == viewOf(typedStreet)))) {
                v = Verdict::Fits;
                named = parts[i].size();
            }
        }
        if (v == Verdict::Fits)
            return v;
        if (v == Verdict::Unknown)
            verdict = v;
    }
    return verdict;
}

} // namespace

PostalDirectory::Entries AddressMatcher::match(const PostalDirectory &directory, QStringView address)
{
    Folded text;
    PostalKey::appendFolded(text, address.left(200));
    qsizetype keyLength = 0;
    PostalDirectory::Entries entries = directory.findLongestKey(viewOf(text), &keyLength);
    if (entries.isEmpty())
        return entries;
    Folded rest;
    rest.append(text.constData() + keyLength, text.size() - keyLength);
    QStringView street;

    // Kyoto: "烏丸通塩小路下る東塩小路町": the town comes after the street, which may itself begin with
    // a town's name.
    const qsizetype cityEnd = keyLength - foldedLength(entries.front().town);
    // Not where the words are part of the town found (東入船町, 大野見下ル川).
    if (const qsizetype direction = afterLastDirection(viewOf(text, cityEnd));
        cityEnd + direction > keyLength) {
        Folded shortened;
        shortened.append(text.constData(), cityEnd);
        shortened.append(text.constData() + cityEnd + direction, text.size() - cityEnd - direction);
        qsizetype length = 0;
        PostalDirectory::Entries town = directory.findLongestKey(viewOf(shortened), &length);
        if (length > cityEnd && !town.front().town.isEmpty()) {
            entries = town;
            street = viewOf(text).mid(cityEnd, direction);
            rest.clear();
            rest.append(shortened.constData() + length, shortened.size() - length);
        }
    }

    // A building named after the block numbers: try the town followed by each later part of the address.
    const bool mayHaveBuildings = std::any_of(entries.begin(), entries.end(), [](const PostalEntry &e) {
        return e.note == u"（次のビルを除く）" || e.note == u"（その他）";
    });
    for (qsizetype from = 1; mayHaveBuildings && from < rest.size(); ++from) {
        // A name begins after the numbers, not within them or within another word.
        const char16_t at = rest[from];
        const char16_t before = rest[from - 1];
        if ((at >= u'0' && at <= u'9') || at == u'-' ||
            !((before >= u'0' && before <= u'9') || before == u'-' || before == u'目' || before == u'番' ||
              before == u'地' || before == u'号'))
            continue;
        Folded building;
        building.append(text.constData(), keyLength);
        building.append(rest.constData() + from, rest.size() - from);
        qsizetype length = 0;
        PostalDirectory::Entries found = directory.findLongestKey(viewOf(building), &length);
        if (length > keyLength) {
            entries = found;
            rest.clear();
            rest.append(building.constData() + length, building.size() - length);
            break;
        }
    }

    if (entries.size() == 1)
        return entries;
    const AddressNumbers numbers = readAddressNumbers(viewOf(rest));
    QVarLengthArray<Verdict, 8> verdicts;
    int fits = 0;
    int open = 0; // neither ruled out nor a fallback
    qsizetype longestName = 0;
    QVarLengthArray<qsizetype, 8> named;
    for (const PostalEntry &e : entries) {
        named.append(0);
        const Verdict v = judge(e, viewOf(rest), numbers, street, named.back());
        verdicts.append(v);
        fits += v == Verdict::Fits ? 1 : 0;
        open += v == Verdict::Fits || v == Verdict::Unknown ? 1 : 0;
        longestName = std::max(longestName, named.back());
    }
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (verdicts[i] == Verdict::Fits && named[i] < longestName)
            verdicts[i] = Verdict::RuledOut;
    const auto keep = [&](auto wanted) {
        PostalDirectory::Entries kept;
        for (qsizetype i = 0; i < entries.size(); ++i)
            if (wanted(verdicts[i]))
                kept.append(entries[i]);
        return kept;
    };
    if (fits > 0)
        return keep([](Verdict v) { return v == Verdict::Fits; });
    if (open == 0) {
        PostalDirectory::Entries fallback = keep([](Verdict v) { return v == Verdict::Fallback; });
        return fallback.isEmpty() ? entries : fallback;
    }
    return keep([](Verdict v) { return v != Verdict::RuledOut; });
}
