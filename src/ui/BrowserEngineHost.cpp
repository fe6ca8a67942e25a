#include "ui/BrowserEngineHost.h"

#include "ui/BrowserPage.h"
#include "ui/BrowserProfile.h"
#include "ui/DialogInTheWay.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QWindow>

namespace {

// The engine waits at most this long for the window to reach the screen.
constexpr int StartWaitStepMs = 10;
constexpr int StartWaitSteps = 50;
// With no page asked for, the engine comes up once the user has left the window alone this long: late
// enough that it does not stall the keys of someone who starts typing at once, early enough that it is
// up by the time someone who looks at the empty window first asks for a map.
constexpr int IdleStartMs = 400;
// How long a script that neither ends nor opens a prompt box may keep the setter waiting.
constexpr int ScriptWaitLimitMs = 30000;

} // namespace

BrowserEngineHost::BrowserEngineHost(QWidget &panel) : m_panel(panel), m_idleStart(new QTimer(this))
{
    m_idleStart->setSingleShot(true);
    m_idleStart->setInterval(IdleStartMs);
    connect(m_idleStart, &QTimer::timeout, this, [this] {
        if (QWindow *window = m_panel.window()->windowHandle())
            window->removeEventFilter(this);
        if (m_panel.isVisible())
            startWhenSafe();
    });
}

BrowserEngineHost::~BrowserEngineHost()
{
    // The page and its view go before the profile.
    delete m_view;
    m_view = nullptr;
    m_page = nullptr;
    m_profile.reset();
}

void BrowserEngineHost::start()
{
    if (m_view)
        return;
    m_profile = BrowserProfile::acquire();
    m_view = new QWebEngineView(&m_panel);
    m_view->setObjectName(QStringLiteral("browser"));
    m_page = new BrowserPage(m_profile.get(), m_view);
    m_view->setPage(m_page);
    connect(m_view, &QWebEngineView::loadStarted, this, [this] { m_loading = true; });
    connect(m_view, &QWebEngineView::loadFinished, this, [this] {
        m_loading = false;
        // The end of a load that another one replaced comes just before that one's start.
        QTimer::singleShot(0, this, [this] {
            if (!m_loading)
                emit pageLoaded();
        });
    });
    acceptPageSaves();
    emit started();
}

void BrowserEngineHost::acceptPageSaves()
{
    connect(m_profile.get(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest *download) {
                if (download->isSavePageDownload() && download->page() == m_page &&
                    download->state() == QWebEngineDownloadRequest::DownloadRequested)
                    download->accept();
            });
}

void BrowserEngineHost::panelShown()
{
    if (!m_startScheduled && !m_view) {
        m_startScheduled = true;
        QTimer::singleShot(0, this, &BrowserEngineHost::startWhenShown);
    }
}

void BrowserEngineHost::startWhenShown()
{
    if (m_view)
        return;
    // Bringing the engine up holds the GUI thread for a while: let the window reach the screen first.
    QWindow *window = m_panel.window()->windowHandle();
    if ((window && window->isExposed()) || ++m_startWaits > StartWaitSteps) {
        // It holds the keys typed meanwhile, too: nothing needs it before a page is asked for, so it
        // waits for a pause in the user's input, all of which comes through the window.
        if (window)
            window->installEventFilter(this);
        m_idleStart->start();
        return;
    }
    QTimer::singleShot(StartWaitStepMs, this, &BrowserEngineHost::startWhenShown);
}

void BrowserEngineHost::requestStart()
{
    if (m_view || m_startRequested)
        return;
    m_startRequested = true;
    QTimer::singleShot(0, this, &BrowserEngineHost::startWhenSafe);
}

void BrowserEngineHost::startWhenSafe()
{
    if (m_view)
        return;
    // Bringing the engine up runs a nested start-up of its own; done inside the delivery of an event
    // (the key press whose command lets queued events run, or that opened a message box) it would run
    // that event's receivers under the engine's feet; so the engine comes up only from the event loop.
    if (m_runningQueuedEvents || dialogInTheWay(*m_panel.window()) || QApplication::activePopupWidget()) {
        QTimer::singleShot(StartWaitStepMs, this, &BrowserEngineHost::startWhenSafe);
        return;
    }
    start();
}

bool BrowserEngineHost::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        if (m_idleStart->isActive())
            m_idleStart->start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool BrowserEngineHost::runScript(const QString &script)
{
    // No page yet, so no map for a script to look at.
    if (!m_view) {
        requestStart();
        return true;
    }
    QPointer<BrowserEngineHost> self(this);
    QPointer<BrowserPage> page(m_page);
    struct Wait {
        bool done = false;
        QPointer<QEventLoop> loop;
    };
    auto wait = std::make_shared<Wait>();
    page->runJavaScript(script, QWebEngineScript::MainWorld, [wait](const QVariant &) {
        wait->done = true;
        if (wait->loop)
            wait->loop->quit();
    });
    if (!wait->done) {
        QEventLoop loop;
        wait->loop = &loop;
        connect(page, &QObject::destroyed, &loop, &QEventLoop::quit);
        connect(page, &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
        // A navigation that starts meanwhile replaces the document, which may take the script's answer
        // with it; so may a process swap we hear nothing of, hence the last resort of a time limit. A
        // prompt box the script opened runs its own loop inside this one: the wait cannot end while the
        // box is open, whatever ends it.
        connect(page, &QWebEnginePage::loadingChanged, &loop, [&loop](const QWebEngineLoadingInfo &info) {
            if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                loop.quit();
        });
        QTimer::singleShot(ScriptWaitLimitMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return !self.isNull();
}

bool BrowserEngineHost::letQueuedEventsRun()
{
    QPointer<BrowserEngineHost> self(this);
    const bool wasRunning = m_runningQueuedEvents;
    m_runningQueuedEvents = true;
    QCoreApplication::processEvents();
    if (self)
        m_runningQueuedEvents = wasRunning;
    return !self.isNull();
}
