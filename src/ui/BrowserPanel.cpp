#include "ui/BrowserPanel.h"

#include "core/MapService.h"
#include "ui/BrowserPage.h"
#include "ui/BrowserProfile.h"
#include "ui/DesktopDocumentLauncher.h"
#include "ui/PromptDialog.h"
#include "ui/StandardBrowserDialogs.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPrinter>
#include <QQuickWidget>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QWindow>
#include <utility>

namespace {

const QString BlankPage = QStringLiteral("about:blank");

// The engine waits at most this long for the window to reach the screen.
constexpr int StartWaitStepMs = 10;
constexpr int StartWaitSteps = 50;
// With no page asked for, the engine comes up once the user has left the window alone this long: late
// enough that it does not stall the keys of someone who starts typing at once, early enough that it is
// up by the time someone who looks at the empty window first asks for a map.
constexpr int IdleStartMs = 400;
// How long a script that neither ends nor opens a prompt box may keep the setter waiting.
constexpr int ScriptWaitLimitMs = 30000;

QString fileNameFromTitle(const QString &title)
{
    QString name = title.simplified();
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar &c : name) {
        if (forbidden.contains(c) || c.unicode() < 0x20)
            c = u'_';
    }
    return name.isEmpty() ? QStringLiteral("page") : name.left(100);
}

// An address as the browser holds it: percent-encoded, so that it compares equal to the encoded map
// queries the program builds and reads the same in the URL box.
QString addressText(const QUrl &url)
{
    return url.toString(QUrl::FullyEncoded);
}

} // namespace

// The resource file lives in a static library: its registration must be pulled in by hand, and from
// outside any namespace.
static void initBrowserResources()
{
    Q_INIT_RESOURCE(browser);
}

BrowserPanel::BrowserPanel(QWidget *parent)
    : QWidget(parent), m_controller(*this), m_urlEdit(new QLineEdit(this)),
      m_placeholder(new QQuickWidget(this)), m_idleStart(new QTimer(this)),
      m_dialogs(std::make_unique<StandardBrowserDialogs>()),
      m_launcher(std::make_unique<DesktopDocumentLauncher>())
{
    initBrowserResources();
    setObjectName(QStringLiteral("browserPanel"));
    m_urlEdit->setObjectName(QStringLiteral("urlEdit"));
    m_placeholder->setObjectName(QStringLiteral("browser"));
    // The engine's view draws through OpenGL. A window first made for plain drawing would be destroyed
    // and made anew when the view arrives, losing the keys typed meanwhile; a placeholder that draws
    // through OpenGL too has the window made for it from the first show.
    m_placeholder->setClearColor(Qt::white);

    for (size_t i = 0; i < kBrowserTools.size(); ++i) {
        const BrowserToolDesign &design = kBrowserTools[i];
        auto *button = new QToolButton(this);
        button->setToolTip(QString::fromUtf16(design.toolTip));
        button->setIcon(QIcon(QString::fromLatin1(design.icon)));
        button->setFocusPolicy(Qt::StrongFocus);
        connect(button, &QToolButton::clicked, this, [this, tool = design.tool] { m_controller.run(tool); });
        m_toolButtons[i] = button;
        if (i > 0)
            setTabOrder(m_toolButtons[i - 1], button);
    }
    setTabOrder(m_toolButtons.back(), m_placeholder);
    setTabOrder(m_placeholder, m_urlEdit);

    // The places of the design; the first layout pass replaces them.
    resize(Twips::toPixels(QSize(9210, 2010), logicalDpiX(), logicalDpiY()));
    setGeometryTwips(m_urlEdit, QRect(4995, 60, 4095, 315));
    setGeometryTwips(m_placeholder, QRect(45, 435, 8925, 1305));
    for (size_t i = 0; i < m_toolButtons.size(); ++i)
        setGeometryTwips(m_toolButtons[i],
                         QRect(105 + int(i) * BrowserController::ButtonWidth, 60,
                               BrowserController::ButtonWidth, BrowserController::ButtonHeight));

    m_idleStart->setSingleShot(true);
    m_idleStart->setInterval(IdleStartMs);
    connect(m_idleStart, &QTimer::timeout, this, [this] {
        if (QWindow *window = this->window()->windowHandle())
            window->removeEventFilter(this);
        if (isVisible())
            startEngineWhenSafe();
    });

    m_urlEdit->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        const auto inPanel = [this](QWidget *w) { return w && (w == this || isAncestorOf(w)); };
        if (inPanel(now) && !inPanel(old))
            emit gotFocus();
    });

    // The panel starts on the blank page. The engine takes that request up once it is running; the box
    // shows it pending until then, as for any other navigation.
    m_controller.beforeNavigate(BlankPage, true);
}

BrowserPanel::~BrowserPanel()
{
    // The page and its view go before the printer they may still print to and before the profile.
    delete m_view;
    m_view = nullptr;
    m_page = nullptr;
    m_printer.reset();
    m_profile.reset();
}

void BrowserPanel::setUrl(const QString &url)
{
    m_controller.setUrl(url);
}

QString BrowserPanel::pageUrl() const
{
    return m_page ? addressText(m_page->url()) : QString();
}

void BrowserPanel::refresh()
{
    reload();
}

void BrowserPanel::run(BrowserTool tool)
{
    m_controller.run(tool);
}

QString BrowserPanel::currentUrl() const
{
    return m_controller.currentUrl();
}

QWidget *BrowserPanel::browserWidget() const
{
    return m_view ? static_cast<QWidget *>(m_view) : m_placeholder;
}

QToolButton *BrowserPanel::toolButton(BrowserTool tool) const
{
    for (size_t i = 0; i < kBrowserTools.size(); ++i)
        if (kBrowserTools[i].tool == tool)
            return m_toolButtons[i];
    return nullptr;
}

void BrowserPanel::ensureEngine()
{
    if (m_view)
        return;
    m_profile = BrowserProfile::acquire();
    auto *view = new QWebEngineView(this);
    view->setObjectName(QStringLiteral("browser"));
    auto *page = new BrowserPage(m_profile.get(), view);
    view->setPage(page);
    view->setGeometry(m_placeholder->geometry());
    view->setVisible(!m_placeholder->isHidden());
    setTabOrder(m_toolButtons.back(), view);
    setTabOrder(view, m_urlEdit);
    // The placeholder goes once the view draws on its own, so the window never lacks an OpenGL child.
    m_placeholder->hide();
    connect(view, &QWebEngineView::loadFinished, this, [this] {
        delete m_placeholder;
        m_placeholder = nullptr;
    });
    m_view = view;
    m_page = page;

    connect(page, &BrowserPage::navigationRequested, this, [this](const QUrl &url, bool isMainFrame) {
        m_controller.beforeNavigate(addressText(url), isMainFrame);
    });
    connect(page, &BrowserPage::navigationArrived, this,
            [this](const QUrl &url) { m_controller.navigateComplete(addressText(url), true); });
    connect(page, &BrowserPage::promptShown, this, &BrowserPanel::promptShown);
    connect(view, &QWebEngineView::printFinished, this, [this](bool success) {
        m_printing = false;
        emit printFinished(success);
    });
    connect(m_profile.get(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest *download) {
                if (!download->isSavePageDownload() || download->page() != m_page)
                    return;
                connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download] {
                    if (download->isFinished())
                        emit saveFinished(download->state() == QWebEngineDownloadRequest::DownloadCompleted);
                });
                if (download->state() == QWebEngineDownloadRequest::DownloadRequested)
                    download->accept();
            });

    connect(view, &QWebEngineView::loadStarted, this, [this] { m_loading = true; });
    connect(view, &QWebEngineView::loadFinished, this, [this] {
        m_loading = false;
        // The end of a load that another one replaced comes just before that one's start.
        QTimer::singleShot(0, this, [this] {
            if (!m_loading)
                emit pageLoaded();
        });
    });

    // A page asked for already goes first: a blank page before it would end its load in between, and
    // someone waiting for the page to load would take that for the page's own.
    if (m_pendingUrl.isEmpty())
        m_controller.start();
    else
        navigate(std::exchange(m_pendingUrl, QString()));
    emit engineReady();
}

void BrowserPanel::setDialogs(std::unique_ptr<BrowserDialogs> dialogs)
{
    if (dialogs)
        m_dialogs = std::move(dialogs);
}

void BrowserPanel::setDocumentLauncher(std::unique_ptr<DocumentLauncher> launcher)
{
    if (launcher)
        m_launcher = std::move(launcher);
}

QPrinter &BrowserPanel::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void BrowserPanel::setLayoutEnabled(bool enabled)
{
    m_layoutEnabled = enabled;
}

void BrowserPanel::applyLayout()
{
    if (!m_layoutEnabled)
        return;
    const BrowserLayout layout = BrowserController::layout(Twips::fromPixels(width(), logicalDpiX()),
                                                           Twips::fromPixels(height(), logicalDpiY()));
    for (size_t i = 0; i < m_toolButtons.size(); ++i)
        setGeometryTwips(m_toolButtons[i], layout.buttons[i]);
    if (layout.urlBox)
        setGeometryTwips(m_urlEdit, *layout.urlBox);
    setGeometryTwips(browserWidget(), layout.browser);
}

void BrowserPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_startScheduled && !m_view) {
        m_startScheduled = true;
        QTimer::singleShot(0, this, &BrowserPanel::startEngineWhenShown);
    }
}

void BrowserPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyLayout();
}

void BrowserPanel::startEngineWhenShown()
{
    if (m_view)
        return;
    // Bringing the engine up holds the GUI thread for a while: let the window reach the screen first.
    QWindow *window = this->window()->windowHandle();
    if ((window && window->isExposed()) || ++m_startWaits > StartWaitSteps) {
        // It holds the keys typed meanwhile, too: nothing needs it before a page is asked for, so it
        // waits for a pause in the user's input, all of which comes through the window.
        if (window)
            window->installEventFilter(this);
        m_idleStart->start();
        return;
    }
    QTimer::singleShot(StartWaitStepMs, this, &BrowserPanel::startEngineWhenShown);
}

void BrowserPanel::requestEngine()
{
    if (m_view || m_startRequested)
        return;
    m_startRequested = true;
    QTimer::singleShot(0, this, &BrowserPanel::startEngineWhenSafe);
}

void BrowserPanel::startEngineWhenSafe()
{
    if (m_view)
        return;
    // Bringing the engine up runs a nested start-up of its own; done inside the delivery of an event
    // (the key press whose command pumps messages, or that opened a message box) it would run that
    // event's receivers under the engine's feet; so the engine comes up only from the event loop.
    const QWidget *modal = QApplication::activeModalWidget();
    if (m_pumping || (modal && modal != window()) || QApplication::activePopupWidget()) {
        QTimer::singleShot(StartWaitStepMs, this, &BrowserPanel::startEngineWhenSafe);
        return;
    }
    ensureEngine();
}

void BrowserPanel::setGeometryTwips(QWidget *child, const QRect &twips)
{
    child->setGeometry(Twips::toPixels(twips, logicalDpiX(), logicalDpiY()));
}

bool BrowserPanel::eventFilter(QObject *watched, QEvent *event)
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
    if (watched == m_urlEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            m_controller.enterPressed(m_urlEdit->text());
    }
    // The box handles every key as usual.
    return QWidget::eventFilter(watched, event);
}

void BrowserPanel::showBrowser()
{
    if (!m_view) {
        m_placeholder->setVisible(true);
        requestEngine();
        return;
    }
    m_view->setVisible(true);
}

void BrowserPanel::navigate(const QString &url)
{
    if (!m_view) {
        // Taken up as soon as the engine runs; the box tells what is coming meanwhile.
        m_pendingUrl = url;
        m_controller.beforeNavigate(url, true);
        requestEngine();
        return;
    }
    m_loading = true;
    // The engine asks no one before it shows the blank page.
    if (url == BlankPage)
        m_controller.beforeNavigate(url, true);
    m_page->load(QUrl::fromUserInput(url));
}

void BrowserPanel::reload()
{
    // Nothing is shown yet that could be reloaded; a pending page comes anyway.
    if (!m_view) {
        requestEngine();
        return;
    }
    m_loading = true;
    // Our page for an unreachable address is no page of its own: reloading it tries that address again.
    if (const QUrl failed = m_page->unreachableUrl(); !failed.isEmpty())
        m_page->load(failed);
    else
        m_page->triggerAction(QWebEnginePage::Reload);
}

bool BrowserPanel::runScript(const QString &script)
{
    // No page yet, so no map for a script to look at.
    if (!m_view) {
        requestEngine();
        return true;
    }
    QPointer<BrowserPanel> self(this);
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

bool BrowserPanel::pumpMessages()
{
    QPointer<BrowserPanel> self(this);
    const bool wasPumping = m_pumping;
    m_pumping = true;
    QCoreApplication::processEvents();
    if (self)
        m_pumping = wasPumping;
    return !self.isNull();
}

void BrowserPanel::setUrlBoxText(const QString &text)
{
    m_urlEdit->setText(text);
}

void BrowserPanel::setDocumentButtonEnabled(bool enabled)
{
    toolButton(BrowserTool::Document)->setEnabled(enabled);
}

void BrowserPanel::goBack()
{
    if (m_page)
        m_page->triggerAction(QWebEnginePage::Back);
}

void BrowserPanel::goForward()
{
    if (m_page)
        m_page->triggerAction(QWebEnginePage::Forward);
}

void BrowserPanel::goHome()
{
    navigate(MapService::homePage());
}

void BrowserPanel::goSearch()
{
    navigate(MapService::searchPage());
}

void BrowserPanel::print()
{
    // One print at a time: the engine renders asynchronously into the printer.
    if (!m_view || m_printing)
        return;
    if (!m_dialogs->askPrint(printer(), this))
        return;
    m_printing = true;
    m_view->print(m_printer.get());
}

void BrowserPanel::pageSetup()
{
    if (m_printing)
        return;
    m_dialogs->askPageSetup(printer(), this);
}

void BrowserPanel::saveAs()
{
    if (!m_page)
        return;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested =
        QDir(folder).filePath(fileNameFromTitle(m_page->title()) + QStringLiteral(".mhtml"));
    const QString fileName = m_dialogs->askSaveFileName(suggested, this);
    if (fileName.isEmpty() || !m_page)
        return;
    m_page->save(fileName, QWebEngineDownloadRequest::MimeHtmlSaveFormat);
}

void BrowserPanel::showDocument(const QString &url)
{
    m_launcher->open(QUrl(url));
}

#if defined(__SANITIZE_ADDRESS__)
// Chromium inside Qt WebEngine frees some of its own objects through a base class of another size,
// which AddressSanitizer reports as a new/delete type mismatch and aborts on. Not ours to mend, and it
// would stop every sanitized program that shows the panel, so that one check is left out; the rest
// stay, and options given in ASAN_OPTIONS still apply on top.
extern "C" const char *__asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
#endif
