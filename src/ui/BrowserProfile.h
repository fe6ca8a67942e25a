#pragma once

#include <QString>

#include <memory>

class QWebEngineProfile;

// The one named, persistent web profile of the program: cookies and cache live in the user's data and
// cache folders, so a map service's consent page is answered once, not at every start. Every page
// holds a share and must be deleted before letting it go; the profile goes with the last share,
// which must happen before the application object goes. Pages ask for Japanese first and announce
// the engine as the plain Chromium it is.
class BrowserProfile {
public:
    static std::shared_ptr<QWebEngineProfile> acquire();
    // The user agent with the "QtWebEngine/x.y" token taken out.
    static QString withoutEngineToken(const QString &userAgent);
};
