#include "core/MapPosition.h"

#include "core/LeadingNumber.h"
#include "core/MapQuery.h"

#include <cmath>

namespace {

// Trimming counts the ideographic space as a space too: Japanese input methods type it for a blank,
// and a part that keeps one would carry it unencoded into the URL. Only U+0020 separates the parts.
bool isSpace(QChar c)
{
    return c == u' ' || c == u'\u3000';
}

QString trimSpaces(const QString &s)
{
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && isSpace(s[from]))
        ++from;
    while (to > from && isSpace(s[to - 1]))
        --to;
    return s.mid(from, to - from);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The sign, digits and decimal point a part begins with, and a comma right after them (the map writes
// "35.68, 139.76"). The parts go into the URL unencoded and then into the answer to a calling
// program: anything else, a tab or a line break above all, could add fields of its own there.
QString numberPart(const QString &part)
{
    qsizetype end = 0;
    if (end < part.size() && (part[end] == u'-' || part[end] == u'+'))
        ++end;
    while (end < part.size() && isDigit(part[end]))
        ++end;
    if (end < part.size() && part[end] == u'.')
        ++end;
    while (end < part.size() && isDigit(part[end]))
        ++end;
    // "1e308" is no "1": a number with an exponent is no number of a position.
    if (end < part.size() && (part[end] == u'e' || part[end] == u'E'))
        return {};
    if (end < part.size() && part[end] == u',')
        ++end;
    return part.left(end);
}

} // namespace

std::optional<QString> MapPosition::mapUrlFor(const QString &copiedText)
{
    QString s = copiedText;
    s.remove(u'(');
    s.remove(u')');
    s = trimSpaces(s);
    const qsizetype space = s.indexOf(u' ');
    if (space < 0)
        return std::nullopt;
    const QString first = numberPart(trimSpaces(s.left(space)));
    const QString second = numberPart(trimSpaces(s.mid(space + 1)));
    // A position on the equator or the prime meridian is never taken: zero means "no number".
    const double latitude = readLeadingNumber(first);
    const double longitude = readLeadingNumber(second);
    if (latitude == 0 || longitude == 0 || std::abs(latitude) > 90 || std::abs(longitude) > 180)
        return std::nullopt;
    return MapQuery::forPosition(first, second);
}
