#include "address/TypedNumbers.h"

using namespace AddressNumbers;

namespace {

// Where the numbers begin after a 字 name that comes between the town and them ("字椿原1112-5",
// "字3本松1" for 字三本松1): at the first number that ends the text or goes on with a unit, a hyphen or
// の; a number inside the name goes on with more of the name.
qsizetype afterSectionName(QStringView rest)
{
    qsizetype pos = 0;
    if (!takeWord(rest, pos, u"大字") && !takeWord(rest, pos, u"小字") && !takeWord(rest, pos, u"字"))
        return 0;
    for (qsizetype i = pos; i < rest.size();) {
        if (!isDigit(rest[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i > pos && rest[i - 1] == u'十' ? i - 1 : i;
        read(rest, i);
        qsizetype after = i;
        if (i == rest.size() || rest[i] == u'-' || rest[i] == u'の' || takeUnit(rest, after) != Unit::None)
            return start;
    }
    return pos;
}

} // namespace

TypedNumbers TypedNumbers::read(QStringView rest)
{
    TypedNumbers n;
    qsizetype pos = afterSectionName(rest);
    takeWord(rest, pos, u"第");
    n.first = AddressNumbers::read(rest, pos);
    if (n.first != kNone) {
        n.firstUnit = takeUnit(rest, pos);
        if (n.firstUnit == Unit::None && !takeWord(rest, pos, u"-"))
            takeWord(rest, pos, u"の");
        n.second = AddressNumbers::read(rest, pos);
        if (n.second != kNone && takeUnit(rest, pos) == Unit::None && !takeWord(rest, pos, u"-"))
            takeWord(rest, pos, u"の");
        n.third = AddressNumbers::read(rest, pos);
    }
    // The floor is the last number marked as one: "12階", "12F"; a basement (地下1階, B1F) is none.
    for (qsizetype i = 0; i < rest.size();) {
        const bool basement = rest.left(i).endsWith(u"地下") || rest.left(i).endsWith(u'b');
        const int number = AddressNumbers::read(rest, i);
        if (number == kNone)
            ++i;
        else if (i < rest.size() && (rest[i] == u'階' || rest[i] == u'f'))
            n.floor = basement ? kNone : number;
    }
    return n;
}
