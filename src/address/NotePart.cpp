#include "address/NotePart.h"

#include <QList>
#include <limits>
#include <utility>

using namespace AddressNumbers;

namespace {

constexpr int kNoLimit = std::numeric_limits<int>::max();

// Whether major-minor lies in the range; unknown where the range's end has a minor number and the
// address gives none.
Verdict holds(const NotePart::Range &r, int major, int minor)
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

NotePart::Range readRange(QStringView text, qsizetype &pos)
{
    NotePart::Range r;
    r.low = r.high = readPair(text, pos);
    if (r.low.major != kNone && takeWord(text, pos, u"~"))
        r.high = readPair(text, pos);
    return r;
}

bool readNumbers(QStringView part, NotePart &out)
{
    qsizetype pos = 0;
    out.range.low = out.range.high = readPair(part, pos);
    out.unit = takeUnit(part, pos, &out.word);
    if (out.range.low.minor != kNone && out.unit == Unit::None && takeWord(part, pos, u"-")) {
        out.exactGo = read(part, pos);
        return out.exactGo != kNone && pos == part.size();
    }
    if (out.range.low.major != kNone && takeWord(part, pos, u"~")) {
        out.range.high = readPair(part, pos);
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
        (out.blocks.low.major != kNone ? out.blocks : out.range).high = Pair{kNoLimit, kNone};
    return pos == part.size() && (out.range.low.major != kNone || out.unit != Unit::None);
}

} // namespace

NotePart NotePart::read(QStringView part)
{
    NotePart p;
    p.isNumber = readNumbers(part, p);
    return p;
}

void NotePart::completeUnits(List &parts)
{
    for (qsizetype i = parts.size() - 2; i >= 0; --i) {
        if (parts[i].isNumber && parts[i].unit == Unit::None) {
            const bool next = parts[i + 1].isNumber;
            parts[i].unit = next ? parts[i + 1].unit : Unit::Block;
            parts[i].word = next ? parts[i + 1].word : QStringView();
        }
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        NotePart &p = parts[i];
        if (p.unit == Unit::None)
            p.unit = Unit::Block;
        const NotePart *before = i > 0 ? &parts[i - 1] : nullptr;
        if (before && p.isNumber && before->isNumber && p.unit == Unit::Block &&
            p.blocks.low.major == kNone && before->unit == Unit::Chome && before->blocks.low.major != kNone) {
            p.blocks = p.range;
            p.range = before->range;
            p.unit = Unit::Chome;
        }
    }
}

Verdict NotePart::judge(const TypedNumbers &a, QStringView rest) const
{
    if (range.low.major == kNone) // "（丁目）", "（番地）": how the address is written
        return a.firstUnit == Unit::None || unit == Unit::Other ? Verdict::Unknown
               : a.firstUnit == unit                            ? Verdict::Fits
                                                                : Verdict::RuledOut;
    if (exactGo != kNone) {
        // Taken whole, so that 1-1-4 is not 1-1-14; 1丁目1番4号 is the same address.
        if (a.first == kNone || a.firstUnit == Unit::Block)
            return a.first == kNone ? Verdict::Unknown : Verdict::RuledOut;
        if (a.first != range.low.major || (a.second != kNone && a.second != range.low.minor) ||
            (a.third != kNone && a.third != exactGo))
            return Verdict::RuledOut;
        return a.third == kNone ? Verdict::Unknown : Verdict::Fits;
    }
    switch (unit) {
    case Unit::Chome: {
        if (a.firstUnit == Unit::Block)
            return Verdict::RuledOut;
        const Verdict chome = holds(range, a.first, kNone);
        if (chome != Verdict::Fits || blocks.low.major == kNone)
            return chome;
        const Verdict block = holds(blocks, a.second, a.third);
        return block != Verdict::Fits || gos.low.major == kNone ? block : holds(gos, a.third, kNone);
    }
    case Unit::Other:
        // "瀬棚区本町1区", "士幌東3線": the number the address gives with the same unit.
        for (qsizetype pos = 0; pos < rest.size();) {
            const Pair n = readPair(rest, pos);
            if (n.major == kNone)
                ++pos;
            else if (QStringView w; takeUnit(rest, pos, &w) == Unit::Other && w == word)
                return holds(range, n.major, kNone);
        }
        return Verdict::Unknown;
    default:
        return a.firstUnit == Unit::Chome ? Verdict::RuledOut : holds(range, a.first, a.second);
    }
}

namespace {

// Whether the address's numbers are among those of a list in 「」: "174", "25、637", "213~234",
// "1-13、71-192", "9番地の4、12番地".
bool listed(QStringView list, const TypedNumbers &a)
{
    for (QStringView item : list.split(u'、')) {
        qsizetype pos = 0;
        const auto readOne = [&item, &pos] {
            Pair n = readPair(item, pos);
            takeUnit(item, pos);
            if (n.minor == kNone && takeWord(item, pos, u"の"))
                n.minor = read(item, pos);
            return n;
        };
        const Pair low = readOne();
        const Pair high = takeWord(item, pos, u"~") ? readOne() : low;
        if (low.major == kNone || a.first < low.major || a.first > high.major)
            continue;
        if (low.minor == kNone || (a.first == low.major && a.second == low.minor) ||
            (low.major != high.major && a.first > low.major))
            return true;
    }
    return false;
}

} // namespace

Verdict NotePart::judgeName(QStringView part, QStringView rest, bool sectionGiven, qsizetype &named)
{
    // "渡戸沢「筍沢温泉」", "下久保「174を除く」", "中一里山「9番地の4、12番地」": a name, then a place in
    // it, numbers left out or numbers kept.
    const qsizetype bracket = part.indexOf(u'「');
    QStringView name = bracket < 0 ? part : part.first(bracket);
    QStringView inside = bracket < 0 ? QStringView() : part.mid(bracket + 1);
    if (inside.endsWith(u'」'))
        inside.chop(1);
    // "土浮山2~5番地": a name with numbers of its own; a digit at its start is part of the name (3本松).
    NotePart numbers;
    for (qsizetype i = 1; i < name.size() && !numbers.isNumber; ++i) {
        if (isDigit(name[i]) && !isDigit(name[i - 1]) && (numbers = read(name.mid(i))).isNumber)
            name.truncate(i);
    }
    const qsizetype at = name.isEmpty() ? -1 : rest.indexOf(name);
    // An address that gives its 字 names another place than the note does.
    if (at < 0)
        return sectionGiven ? Verdict::RuledOut : Verdict::Unknown;
    const QStringView after = rest.mid(at + name.size());
    const TypedNumbers typed = TypedNumbers::read(after);
    if (numbers.isNumber) {
        if (numbers.unit == Unit::None)
            numbers.unit = Unit::Block;
        const Verdict v = numbers.judge(typed, after);
        named = v == Verdict::Fits ? name.size() : 0;
        return v;
    }
    const bool excepted = inside.endsWith(u"を除く");
    if (excepted)
        inside.chop(3);
    const bool isList = !inside.isEmpty() && isDigit(inside[0]);
    if (isList && typed.first == kNone)
        return Verdict::Unknown;
    if (isList && listed(inside, typed) == excepted)
        return Verdict::RuledOut;
    named = name.size();
    return Verdict::Fits;
}
