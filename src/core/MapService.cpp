#include "core/MapService.h"

#include <QtGlobal>

QString MapService::base()
{
    const QString configured = qEnvironmentVariable("VELMORA_MAP_BASE");
    return configured.isEmpty() ? QStringLiteral("https://www.google.com") : configured;
}

QString MapService::queryPrefix()
{
    return base() + QStringLiteral("/maps?q=");
}

QString MapService::homePage()
{
    return base() + QStringLiteral("/maps");
}

QString MapService::searchPage()
{
    return base() + QStringLiteral("/");
}
