#include "core/MapQuery.h"

#include "core/MapQueryEncoder.h"
#include "core/MapService.h"

namespace {
QString query(const QString &value)
{
    return MapService::queryPrefix() + value + MapService::queryTail();
}

QString encoded(const QString &text)
{
    QString value;
    encodeMapQueryValue(text, value);
    return value;
}
} // namespace

QString MapQuery::forSearch(const QString &searchText)
{
    QString copy = searchText;
    // QString::replace works left to right over non-overlapping matches and never rescans what it put
    // in, so a run of n spaces becomes (n + 1) / 2 spaces.
    copy.replace(QStringLiteral("  "), QStringLiteral(" "));
    return query(encoded(copy));
}

QString MapQuery::forPostalCode(const QString &postCode)
{
    return query(encoded(QStringLiteral("〒") + postCode));
}

QString MapQuery::forPosition(const QString &latitude, const QString &longitude)
{
    return query(latitude + u'+' + longitude);
}
