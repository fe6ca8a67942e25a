#include "address/AddressNumbers.h"

namespace AddressNumbers {

int read(QStringView text, qsizetype &pos)
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

Unit takeUnit(QStringView text, qsizetype &pos, QStringView *word)
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

Pair readPair(QStringView text, qsizetype &pos)
{
    Pair n;
    takeWord(text, pos, u"第");
    n.major = read(text, pos);
    if (n.major != kNone && pos + 1 < text.size() && (text[pos] == u'-' || text[pos] == u'の') &&
        isDigit(text[pos + 1])) {
        ++pos;
        n.minor = read(text, pos);
    }
    return n;
}

} // namespace AddressNumbers
