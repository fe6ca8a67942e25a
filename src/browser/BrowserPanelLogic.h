#pragma once

#include "browser/BrowserEngine.h"
#include "browser/BrowserLayout.h"

#include <QString>

// The browser panel's rules, apart from any window: the URL setter, the URL box's "Looking.." and
// page URL, CurURL, the document-button rule, the tool-button commands and the layout.
class BrowserPanelLogic {
public:
    static constexpr int FirstButton = 2;
    static constexpr int LastButton = 9;
    static constexpr int DocumentButton = 9;
    static constexpr int ButtonWidth = 600;
    static constexpr int ButtonHeight = 315;

    explicit BrowserPanelLogic(BrowserEngine &engine);

    // URL of the last completed main-frame navigation; empty for "about:blank" or before any.
    QString CurURL() const { return m_curURL; }

    // Asks for the blank page the panel starts with.
    void start();
    // The URL setter.
    void setURL(const QString &url);
    // Enter in the URL box: the box's text as it stands, neither trimmed nor checked.
    void enterPressed(const QString &boxText);

    // A navigation is about to start.
    void beforeNavigate(const QString &url, bool isMainFrame);
    // A navigation has arrived (the document is committed, or a load ended).
    void navigateComplete(const QString &url, bool isMainFrame);

    // The one procedure behind every tool button and RetCom.
    void runCommand(int index);

    static bool isScriptUrl(const QString &url);
    // The script a "javascript:" URL carries, percent-decoded as browsers do.
    static QString scriptOf(const QString &url);
    // True when the last three characters, in lower case, are "xls" or "doc".
    static bool isDocumentUrl(const QString &url);
    static QString lookingText(const QString &url);
    // The layout for a panel of width x height twips; no size comes out negative.
    static BrowserLayout layout(int width, int height);

private:
    void go(const QString &url);

    BrowserEngine &m_engine;
    QString m_curURL;
};
