#include "ui/BrowserEngineHost.h"

#include "ui/BrowserPage.h"
#include "ui/BrowserProfile.h"
#include "ui/DialogInTheWay.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWebEngineDownloadRequest>
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
    // Bringing the engine up runs a start-up of its own that lets events through; under a dialog's or a
    // popup's own loop it would run their receivers under the engine's feet, so it waits for them.
    if (dialogInTheWay(*m_panel.window()) || QApplication::activePopupWidget()) {
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

void BrowserEngineHost::runScript(const QString &script, std::function<void(const QVariant &)> done)
{
    if (!m_view) {
        requestStart();
        QTimer::singleShot(0, this, [done = std::move(done)] { done(QVariant()); });
        return;
    }
    // The engine calls back from the event loop; a host gone by then takes the callback with it.
    QPointer<BrowserEngineHost> self(this);
    m_page->runJavaScript(script, QWebEngineScript::MainWorld,
                          [self, done = std::move(done)](const QVariant &value) {
                              if (self)
                                  done(value);
                          });
}
