#include "address/AddressMatcher.h"

#include "address/PostalText.h"

#include <QVarLengthArray>
#include <limits>

namespace {

// Long enough for any address and for all of a Kyoto note's street forms, so that a look-up stays
// on the stack.
using Folded = QVarLengthArray<char16_t, 256>;

constexpr int kNone = -1;
constexpr int kNoLimit = std::numeric_limits<int>::max();

void appendFolded(Folded &out, QStringView text)
{
    for (QChar ch : text)
        if (const char16_t c = PostalText::fold(ch.unicode()))
            out.append(c);
}

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
    for (; pos < text.size() && value < 100000; ++pos) {
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

enum class Unit { None, Chome, Block };

Unit takeUnit(QStringView text, qsizetype &pos)
{
    if (takeWord(text, pos, u"丁目") || takeWord(text, pos, u"丁"))
        return Unit::Chome;
    if (takeWord(text, pos, u"番地") || takeWord(text, pos, u"番"))
        return Unit::Block;
    return Unit::None;
}

// The leading numbers of what follows the town: "6-10-1", "6丁目10番1号", "123番地".
struct AddressNumbers {
    int first = kNone;
    Unit firstUnit = Unit::None;
    int second = kNone;
    int floor = kNone;
};

AddressNumbers readAddressNumbers(QStringView rest)
{
    AddressNumbers n;
    qsizetype pos = 0;
    n.first = readNumber(rest, pos);
    if (n.first != kNone) {
        n.firstUnit = takeUnit(rest, pos);
        if (n.firstUnit == Unit::None && !takeWord(rest, pos, u"-"))
            takeWord(rest, pos, u"の");
        n.second = readNumber(rest, pos);
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
    int low = kNone;
    int high = kNone;
    bool holds(int n) const { return low != kNone && n >= low && n <= high; }
};

Range readRange(QStringView text, qsizetype &pos)
{
    Range r;
    r.low = r.high = readNumber(text, pos);
    if (r.low != kNone && takeWord(text, pos, u"~"))
        r.high = readNumber(text, pos);
    if (r.high == kNone)
        r.low = kNone;
    return r;
}

// One part of a note of chome and blocks: "1~19丁目", "5丁目1番地", "200番以上", "丁目".
struct NumberPart {
    Range chome;
    Range block;
    Unit unit = Unit::None; // of the first range, or of the part where it has no number
};

bool readNumberPart(QStringView part, NumberPart &out)
{
    qsizetype pos = 0;
    Range first = readRange(part, pos);
    out.unit = takeUnit(part, pos);
    if (out.unit == Unit::Chome) {
        out.chome = first;
        out.block = readRange(part, pos);
        if (out.block.low != kNone && takeUnit(part, pos) != Unit::Block)
            return false;
    } else {
        out.block = first;
    }
    if (takeWord(part, pos, u"以上"))
        (out.unit == Unit::Chome && out.block.low == kNone ? out.chome : out.block).high = kNoLimit;
    return pos == part.size() && (first.low != kNone || out.unit != Unit::None);
}

Verdict judgeNumbers(const NumberPart &p, const AddressNumbers &a)
{
    if (p.chome.low == kNone && p.block.low == kNone) // "（丁目）", "（番地）": how the address is written
        return a.firstUnit == Unit::None ? Verdict::Unknown
               : a.firstUnit == p.unit   ? Verdict::Fits
                                         : Verdict::RuledOut;
    if (a.first == kNone)
        return Verdict::Unknown;
    if (p.unit == Unit::Chome) {
        if (a.firstUnit == Unit::Block || !p.chome.holds(a.first))
            return Verdict::RuledOut;
        if (p.block.low == kNone)
            return Verdict::Fits;
        return a.second == kNone         ? Verdict::Unknown
               : p.block.holds(a.second) ? Verdict::Fits
                                         : Verdict::RuledOut;
    }
    if (a.firstUnit == Unit::Chome)
        return Verdict::RuledOut;
    return p.block.holds(a.first) ? Verdict::Fits : Verdict::RuledOut;
}

// Kyoto's ways of saying which way along a street: 上る, 下ル, 上がる, 西入, 東入ル …
const QStringView kDirections[] = {u"上る",   u"下る",   u"上ル", u"下ル",
                                   u"上ケる", u"下ケる", u"西入", u"東入"};

// The end of the last direction word, with its okurigana; 0 when there is none.
qsizetype afterLastDirection(QStringView text)
{
    qsizetype end = 0;
    for (QStringView word : kDirections)
        for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1))
            end = std::max(end, at + word.size());
    if (end > 0 && end < text.size() && (text[end] == u'ル' || text[end] == u'る'))
        ++end;
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

Verdict judge(const PostalEntry &entry, QStringView rest, const AddressNumbers &numbers, QStringView street)
{
    if (!entry.street.isEmpty()) { // a floor of a building
        qsizetype pos = 0;
        Folded floor;
        appendFolded(floor, entry.street);
        return numbers.floor != kNone && readNumber(viewOf(floor), pos) == numbers.floor ? Verdict::Fits
                                                                                         : Verdict::RuledOut;
    }
    if (entry.note.isEmpty())
        return Verdict::Unknown;
    if (entry.note == u"（その他）" || entry.note == u"（次のビルを除く）" ||
        entry.note == u"（地階・階層不明）")
        return Verdict::Fallback;
    Folded note;
    appendFolded(note, entry.note.mid(1, entry.note.size() - 2));
    QVarLengthArray<QStringView, 16> parts;
    for (qsizetype from = 0; from <= note.size();) {
        qsizetype to = viewOf(note).indexOf(u'、', from);
        if (to < 0)
            to = note.size();
        parts.append(viewOf(note).mid(from, to - from));
        from = to + 1;
    }
    // In a list the unit is written once, at the end: "1、2丁目".
    QVarLengthArray<NumberPart, 16> numberParts(parts.size());
    bool allNumbers = true;
    for (qsizetype i = 0; i < parts.size() && allNumbers; ++i)
        allNumbers = readNumberPart(parts[i], numberParts[i]);
    if (allNumbers) {
        const Unit unit = numberParts.back().unit;
        bool unknown = false;
        for (NumberPart &p : numberParts) {
            if (p.unit == Unit::None && unit == Unit::Chome)
                std::swap(p.chome, p.block);
            if (p.unit == Unit::None)
                p.unit = unit == Unit::None ? Unit::Block : unit;
            const Verdict v = judgeNumbers(p, numbers);
            if (v == Verdict::Fits)
                return v;
            unknown = unknown || v == Verdict::Unknown;
        }
        return unknown ? Verdict::Unknown : Verdict::RuledOut;
    }
    // Place names and Kyoto's street forms: the address names one of them.
    Folded typedStreet;
    appendStreet(typedStreet, street);
    for (QStringView part : parts) {
        Folded form;
        appendStreet(form, part);
        if (!part.isEmpty() &&
            (rest.contains(part) || (!street.isEmpty() && viewOf(form) == viewOf(typedStreet))))
            return Verdict::Fits;
    }
    return Verdict::Unknown;
}

} // namespace

PostalDirectory::Entries AddressMatcher::match(const PostalDirectory &directory, QStringView address)
{
    Folded text;
    appendFolded(text, address.left(200));
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
    if (const qsizetype direction = afterLastDirection(viewOf(text, cityEnd)); direction > 0) {
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
    for (const PostalEntry &e : entries) {
        if (e.note != u"（次のビルを除く）")
            continue;
        Folded building;
        building.append(text.constData(), keyLength);
        for (qsizetype from = 1; from < rest.size(); ++from) {
            // A name begins after the numbers, not within them or within another word.
            const char16_t before = rest[from - 1];
            if (rest[from] < 0x80 ||
                (before >= 0x80 && before != u'目' && before != u'番' && before != u'地' && before != u'号'))
                continue;
            building.resize(keyLength);
            building.append(rest.constData() + from, rest.size() - from);
            qsizetype length = 0;
            PostalDirectory::Entries found = directory.findLongestKey(viewOf(building), &length);
            if (length > keyLength) {
                entries = found;
                Folded after;
                after.append(building.constData() + length, building.size() - length);
                rest = after;
                break;
            }
        }
        break;
    }

    if (entries.size() == 1)
        return entries;
    const AddressNumbers numbers = readAddressNumbers(viewOf(rest));
    QVarLengthArray<Verdict, 8> verdicts;
    int fits = 0;
    int open = 0; // neither ruled out nor a fallback
    for (const PostalEntry &e : entries) {
        const Verdict v = judge(e, viewOf(rest), numbers, street);
        verdicts.append(v);
        fits += v == Verdict::Fits ? 1 : 0;
        open += v == Verdict::Fits || v == Verdict::Unknown ? 1 : 0;
    }
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
