#pragma once

#include "ui/BrowserLayout.h"

#include <QString>

#include <optional>

// What a URL asked of the panel comes to.
struct BrowserStep {
    enum class Kind {
        Navigate,
        // Loads the page shown again.
        Reload,
        // Runs a script in the page shown; the target is the script itself.
        RunScript,
    };
    Kind kind;
    // The URL to navigate to, or the script to run; empty for a reload.
    QString target;

    friend bool operator==(const BrowserStep &, const BrowserStep &) = default;
};

// The browser panel's rules, apart from any widget and from the web engine: what a URL asked for
// means, what the URL box shows, when the document button is on, and the layout. The panel asks and
// carries the answers out.
class BrowserRules {
public:
    static const QString kBlankPage;

    // URL of the last completed main-frame navigation; empty for the blank page or before any.
    QString currentUrl() const { return m_currentUrl; }

    // A URL set by the program: the page shown again (in any letter case) reloads, an empty text is
    // the blank page, a "javascript:" URL runs its script in the page shown.
    BrowserStep asked(const QString &url) const;
    // Enter in the URL box: the box's text as it stands, neither trimmed nor checked, never a reload.
    static BrowserStep entered(const QString &boxText);

    // A navigation is about to start: the URL box's text, or nothing when the navigation is a frame's
    // (an advert, a map tile), which is not what the user asked for.
    static std::optional<QString> boxTextForStart(const QString &url, bool isMainFrame);
    // A navigation of the page has arrived: it is the current URL from now on.
    void arrived(const QString &url);
    // What the URL box shows once a navigation has arrived.
    QString boxText() const { return readable(m_currentUrl); }
    // An address as a person reads it: Japanese decoded, what changes its meaning kept encoded.
    static QString readable(const QString &url);
    // Only a document (an xls or doc page) has toolbars to show.
    bool documentButtonOn() const { return isDocumentUrl(m_currentUrl); }
    // The document the document button hands on, when the page shown is one.
    std::optional<QString> documentToShow() const;

    static bool isScriptUrl(const QString &url);
    // The script a "javascript:" URL carries, percent-decoded as browsers do.
    static QString scriptOf(const QString &url);
    // True when the last three characters, in lower case, are "xls" or "doc".
    static bool isDocumentUrl(const QString &url);
    // The layout for a panel of width x height twips; no size comes out negative.
    static BrowserLayout layout(int width, int height);
    // A tool button's place, in twips, for the button of that index with the first one at origin.
    static QRect toolButtonPlace(QPoint origin, size_t index);

private:
    QString m_currentUrl;
};
