#include "ui/BrowserProfile.h"

#include <QRegularExpression>
#include <QWebEngineProfile>

std::shared_ptr<QWebEngineProfile> BrowserProfile::acquire()
{
    static std::weak_ptr<QWebEngineProfile> current;
    if (auto profile = current.lock())
        return profile;
    auto profile = std::make_shared<QWebEngineProfile>(QStringLiteral("Browser"));
    profile->setHttpAcceptLanguage(QStringLiteral("ja"));
    profile->setHttpUserAgent(withoutEngineToken(profile->httpUserAgent()));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    current = profile;
    return profile;
}

QString BrowserProfile::withoutEngineToken(const QString &userAgent)
{
    // Sites treat the embedding engine's token as an unknown browser and serve degraded pages; the
    // rest, the Chrome version the engine really has included, stays as it is.
    static const QRegularExpression token(QStringLiteral(R"( ?\bQtWebEngine/[^ ]*)"));
    return QString(userAgent).remove(token);
}
