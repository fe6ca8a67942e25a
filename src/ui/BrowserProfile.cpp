#include "ui/BrowserProfile.h"

#include <QWebEngineProfile>

std::shared_ptr<QWebEngineProfile> BrowserProfile::acquire()
{
    static std::weak_ptr<QWebEngineProfile> current;
    if (auto profile = current.lock())
        return profile;
    auto profile = std::make_shared<QWebEngineProfile>(QStringLiteral("Browser"));
    profile->setHttpAcceptLanguage(QStringLiteral("ja"));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    current = profile;
    return profile;
}
