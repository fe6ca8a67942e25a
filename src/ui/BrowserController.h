#pragma once

#include "ui/BrowserEngine.h"
#include "ui/BrowserLayout.h"
#include "ui/BrowserTool.h"

#include <QString>

// The browser panel's rules, apart from any window: the URL setter, the URL box's "Looking.." and
// page URL, the current URL, the document-button rule, the tool commands and the layout.
class BrowserController {
public:
    explicit BrowserController(BrowserEngine &engine);

    // URL of the last completed main-frame navigation; empty for "about:blank" or before any.
    QString currentUrl() const { return m_currentUrl; }

    // Asks for the blank page the panel starts with.
    void start();
    // Shows a URL: reloads when it is the page shown (in any letter case), else navigates
    // ("about:blank" for an empty text). A "javascript:" URL runs in the page shown and the call
    // returns when the script, and any prompt it opened, has finished.
    void setUrl(const QString &url);
    // Enter in the URL box: the box's text as it stands, neither trimmed nor checked.
    void enterPressed(const QString &boxText);

    // A navigation is about to start.
    void navigationStarting(const QString &url, bool isMainFrame);
    // A navigation has arrived (the document is committed, or a load ended).
    void navigationArrived(const QString &url, bool isMainFrame);

    // What every tool button runs.
    void run(BrowserTool tool);

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
    QString m_currentUrl;
};
