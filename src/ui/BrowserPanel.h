#pragma once

#include "ui/BrowserController.h"
#include "ui/BrowserEngine.h"
#include "ui/PromptDialog.h"

#include <QWidget>

#include <array>
#include <memory>

class BrowserDialogs;
class BrowserPage;
class DocumentLauncher;

class QLineEdit;
class QPrinter;
class QQuickWidget;
class QTimer;
class QToolButton;
class QWebEngineProfile;
class QWebEngineView;

// The browser panel: the tool buttons, the URL box and the browser.
//
// The web engine comes up at the first call that needs it, or once the user has paused after the panel
// was first shown, so that the window appears, and answers keys, before the engine is ready; until then
// a blank placeholder, drawn through OpenGL as the engine's view is, stands in for the browser. Delete the
// panel before the application object: it holds the last share of the web profile, and its page goes first.
class BrowserPanel : public QWidget, private BrowserEngine {
    Q_OBJECT
public:
    explicit BrowserPanel(QWidget *parent = nullptr);
    ~BrowserPanel() override;

    // See BrowserController::setUrl.
    void setUrl(const QString &url);
    // The browser's own location (which may be ahead of currentUrl()); empty before the engine is up.
    QString pageUrl() const;
    void refresh();
    // Puts the text into the URL box; nothing is navigated.
    void setUrlBoxText(const QString &text) override;
    // Runs a tool exactly as a click on its button would.
    void run(BrowserTool tool);
    // URL of the last completed navigation of the page; empty for the blank page.
    QString currentUrl() const;

    QLineEdit *urlEdit() const { return m_urlEdit; }
    // The browser, or its placeholder while the engine is not up yet.
    QWidget *browserWidget() const;
    // Null until the engine is up.
    QWebEngineView *webView() const { return m_view; }
    QToolButton *toolButton(BrowserTool tool) const;

    bool isEngineReady() const { return m_view != nullptr; }
    // Brings the engine up now, if it is not up yet.
    void ensureEngine();
    // Asks for the engine to come up soon, from the event loop rather than from inside an event.
    void requestEngine();
    // From a page asked for (or before the engine is up) until that page has loaded.
    bool isLoading() const { return !m_view || m_loading; }

    // The print, page-setup and save questions; the platform's dialogs unless replaced (tests do).
    void setDialogs(std::unique_ptr<BrowserDialogs> dialogs);
    // Who opens a document page for the document tool; the user's default handler unless replaced.
    void setDocumentLauncher(std::unique_ptr<DocumentLauncher> launcher);
    // The printer of this run: page setup changes it, every print uses it.
    QPrinter &printer();

    // Lays the children out for the panel's size, in twips, from now on at every resize (the window
    // turns this on once it has loaded and off as it closes).
    void setLayoutEnabled(bool enabled);
    void applyLayout();

signals:
    // The panel or one of its children received the input focus from outside the panel.
    void gotFocus();
    // The web engine is up and has been asked for the start page.
    void engineReady();
    // A page's prompt box is open (its loop runs); it may be read and closed through the pointer.
    void promptShown(PromptDialog *dialog);
    // A page has loaded and no other load has started since.
    void pageLoaded();
    void printFinished(bool success);
    void saveFinished(bool success);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // BrowserEngine
    void showBrowser() override;
    void navigate(const QString &url) override;
    void reload() override;
    bool runScript(const QString &script) override;
    bool pumpMessages() override;
    void setDocumentButtonEnabled(bool enabled) override;
    void goBack() override;
    void goForward() override;
    void goHome() override;
    void goSearch() override;
    void print() override;
    void pageSetup() override;
    void saveAs() override;
    void showDocument(const QString &url) override;

    void startEngineWhenShown();
    void startEngineWhenSafe();
    void setGeometryTwips(QWidget *child, const QRect &twips);
    bool eventFilter(QObject *watched, QEvent *event) override;

    BrowserController m_controller;
    QLineEdit *m_urlEdit;
    std::array<QToolButton *, kBrowserTools.size()> m_toolButtons{};
    QQuickWidget *m_placeholder;
    // Runs while the engine waits for a pause in the user's input; every key or mouse input restarts it.
    QTimer *m_idleStart;
    QWebEngineView *m_view = nullptr;
    BrowserPage *m_page = nullptr;
    std::shared_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<BrowserDialogs> m_dialogs;
    std::unique_ptr<DocumentLauncher> m_launcher;
    std::unique_ptr<QPrinter> m_printer;
    bool m_layoutEnabled = false;
    bool m_printing = false;
    bool m_startScheduled = false;
    bool m_startRequested = false;
    bool m_pumping = false;
    bool m_loading = false;
    // A page asked for before the engine was up.
    QString m_pendingUrl;
    int m_startWaits = 0;
};
