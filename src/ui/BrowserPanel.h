#pragma once

#include "ui/BrowserPageActions.h"
#include "ui/BrowserRules.h"
#include "ui/BrowserTool.h"
#include "ui/PromptDialog.h"

#include <QWidget>

#include <QVariant>

#include <array>
#include <functional>
#include <memory>

class BrowserEngineHost;

class QLineEdit;
class QQuickWidget;
class QToolButton;
class QWebEngineView;

// The browser panel: the tool buttons, the URL box and the browser.
//
// Until the web engine is up (see BrowserEngineHost) a blank placeholder, drawn through OpenGL as the
// engine's view is, stands in for the browser. Delete the panel before the application object.
class BrowserPanel : public QWidget {
    Q_OBJECT
public:
    using Services = BrowserPageActions::Services;

    explicit BrowserPanel(const Services &services = {}, QWidget *parent = nullptr);
    ~BrowserPanel() override;

    // Shows a URL as BrowserRules::asked says. A script runs without waiting for its end.
    void setUrl(const QString &url);
    // Runs a script in the page shown; done hears its value (none before the engine is up).
    void runScript(const QString &script, std::function<void(const QVariant &)> done);
    // The browser's own location (which may be ahead of currentUrl()); empty before the engine is up.
    QString pageUrl() const;
    // Puts the text into the URL box; nothing is navigated.
    void setUrlBoxText(const QString &text);
    // Runs a tool exactly as a click on its button would.
    void run(BrowserTool tool);
    // URL of the last completed navigation of the page; empty for the blank page.
    QString currentUrl() const;

    QLineEdit *urlEdit() const { return m_urlEdit; }
    // The browser, or its placeholder while the engine is not up yet.
    QWidget *browserWidget() const;
    // Null until the engine is up.
    QWebEngineView *webView() const;
    QToolButton *toolButton(BrowserTool tool) const;

    bool isEngineReady() const;
    // Asks for the engine to come up soon, from the event loop rather than from inside an event.
    void requestEngine();
    // From a page asked for (or before the engine is up) until that page has loaded.
    bool isLoading() const;

    // Lays the children out for the panel's size, in twips, from now on at every resize (the window
    // turns this on once it has loaded and off as it closes).
    void setLayoutEnabled(bool enabled);

signals:
    // The web engine is up and has been asked for the start page.
    void engineReady();
    // A page's own prompt box is open (its loop runs); it may be read and closed through the pointer.
    void promptShown(PromptDialog *dialog);
    // A page has loaded and no other load has started since.
    void pageLoaded();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void carryOut(const BrowserStep &step);
    void navigate(const QString &url);
    void reload();
    void showBrowser();
    void navigationStarting(const QString &url, bool isMainFrame);
    void navigationArrived(const QString &url);
    void engineStarted();
    // Our own menu in place of the engine's, which speaks only the system's language.
    void showContextMenu(const QPoint &at);
    void applyLayout();
    bool eventFilter(QObject *watched, QEvent *event) override;

    BrowserRules m_rules;
    QLineEdit *m_urlEdit;
    std::array<QToolButton *, kBrowserTools.size()> m_toolButtons{};
    QQuickWidget *m_placeholder;
    std::unique_ptr<BrowserEngineHost> m_engine;
    std::unique_ptr<BrowserPageActions> m_pageActions;
    bool m_layoutEnabled = false;
    // A page asked for before the engine was up.
    QString m_pendingUrl;
};
