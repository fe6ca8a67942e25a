#include "core/MapPosition.h"

#include "core/LeadingNumber.h"
#include "core/MapQuery.h"

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
    const QString first = trimSpaces(s.left(space));
    const QString second = trimSpaces(s.mid(space + 1));
    // A position on the equator or the prime meridian is never taken: zero means "no number".
    if (readLeadingNumber(first) == 0 || readLeadingNumber(second) == 0)
        return std::nullopt;
    return MapQuery::forPosition(first, second);
}
