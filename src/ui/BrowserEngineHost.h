#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

#include <memory>

class BrowserPage;
class QTimer;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;

// Brings the web engine up for a panel without stalling the window, and runs scripts in its page: the engine comes up
// at the first call that needs it, or once the user has paused after the panel was first shown, so that
// the window appears, and answers keys, before the engine is ready. It holds the last share of the web
// profile: delete it before the application object; its page goes first.
class BrowserEngineHost : public QObject {
    Q_OBJECT
public:
    // The view is made a child of the panel.
    explicit BrowserEngineHost(QWidget &panel);
    ~BrowserEngineHost() override;

    // Null until the engine is up.
    QWebEngineView *view() const { return m_view; }
    BrowserPage *page() const { return m_page; }
    bool isUp() const { return m_view != nullptr; }
    // From a page asked for (or before the engine is up) until that page has loaded.
    bool isLoading() const { return !m_view || m_loading; }
    // A load was asked for: the page counts as loading from now, not from when the engine says so.
    void loadAsked() { m_loading = true; }

    // Brings the engine up now, if it is not up yet.
    void start();
    // Asks for the engine to come up soon, from the event loop rather than from inside an event.
    void requestStart();
    // The panel has been shown: the engine comes up once the window is on screen and the user pauses.
    void panelShown();

    // Runs a script in the page shown; done hears its value once it has run, from the event loop. Before
    // the engine is up there is no page to run it in: the engine is asked to come up, and done hears no
    // value. A script whose document a navigation replaces may never be heard of.
    void runScript(const QString &script, std::function<void(const QVariant &)> done);

signals:
    // The view and its page exist; nothing has been asked of them yet.
    void started();
    // A page has loaded and no other load has started since.
    void pageLoaded();

private:
    void startWhenShown();
    void startWhenSafe();
    void acceptPageSaves();
    bool eventFilter(QObject *watched, QEvent *event) override;

    QWidget &m_panel;
    // Runs while the engine waits for a pause in the user's input; every key or mouse input restarts it.
    QTimer *m_idleStart;
    QWebEngineView *m_view = nullptr;
    BrowserPage *m_page = nullptr;
    std::shared_ptr<QWebEngineProfile> m_profile;
    bool m_startScheduled = false;
    bool m_startRequested = false;
    bool m_loading = false;
    int m_startWaits = 0;
};
