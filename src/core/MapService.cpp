#include "core/MapService.h"

#include <QtGlobal>

QString MapService::base()
{
    // Read once: every map URL of a run, and the request's check of its URL, must agree on it.
    static const QString base = [] {
        const QString configured = qEnvironmentVariable("VELMORA_MAP_BASE");
        return configured.isEmpty() ? QStringLiteral("https://www.google.com") : configured;
    }();
    return base;
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
