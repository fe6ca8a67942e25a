#include "browser/uWeb.h"

#include "app/ProgramValues.h"
#include "browser/BrowserPage.h"
#include "browser/BrowserProfile.h"
#include "browser/DesktopDocumentLauncher.h"
#include "browser/PromptDialog.h"
#include "browser/StandardBrowserDialogs.h"
#include "browser/Twips.h"
#include "lookup/MapService.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPrinter>
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

struct ButtonLook {
    const char16_t *toolTip;
    const char *icon;
};

// Indexes 2 to 9.
const std::array<ButtonLook, 8> ButtonLooks{{
    {u"前のﾍﾟ-ｼﾞに移動", ":/browser/icons/back.svg"},
    {u"次のﾍﾟ-ｼﾞに移動", ":/browser/icons/forward.svg"},
    {u"ﾎ-ﾑﾍﾟ-ｼﾞに移動します", ":/browser/icons/home.svg"},
    {u"検索ﾍﾟ-ｼﾞに移動します", ":/browser/icons/search.svg"},
    {u"現在のﾍﾟ-ｼﾞを印刷", ":/browser/icons/print.svg"},
    {u"ﾍﾟ-ｼﾞ設定", ":/browser/icons/pagesetup.svg"},
    {u"現在のﾍﾟ-ｼﾞを保存します", ":/browser/icons/save.svg"},
    {u"ﾂ-ﾙﾊﾞ-を表示します", ":/browser/icons/toolbar.svg"},
}};

// The engine waits at most this long for the window to reach the screen.
constexpr int StartWaitStepMs = 10;
constexpr int StartWaitSteps = 50;
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

uWeb::uWeb(QWidget *parent)
    : QWidget(parent), m_logic(*this), m_txURL(new QLineEdit(this)), m_placeholder(new QWidget(this)),
      m_dialogs(std::make_unique<StandardBrowserDialogs>()),
      m_launcher(std::make_unique<DesktopDocumentLauncher>())
{
    initBrowserResources();
    setObjectName(QStringLiteral("uWeb"));
    m_txURL->setObjectName(QStringLiteral("txURL"));
    m_placeholder->setObjectName(QStringLiteral("WebBrw"));
    m_placeholder->setAutoFillBackground(true);
    m_placeholder->setPalette(QPalette(Qt::white));

    for (int i = BrowserPanelLogic::FirstButton; i <= BrowserPanelLogic::LastButton; ++i) {
        const ButtonLook &look = ButtonLooks[i - BrowserPanelLogic::FirstButton];
        auto *button = new QToolButton(this);
        button->setObjectName(QStringLiteral("ssCom_%1").arg(i));
        button->setToolTip(QString::fromUtf16(look.toolTip));
        button->setIcon(QIcon(QString::fromLatin1(look.icon)));
        button->setFocusPolicy(Qt::StrongFocus);
        connect(button, &QToolButton::clicked, this, [this, i] { m_logic.runCommand(i); });
        m_ssCom[i - BrowserPanelLogic::FirstButton] = button;
    }
    for (int i = BrowserPanelLogic::FirstButton; i < BrowserPanelLogic::LastButton; ++i)
        setTabOrder(ssCom(i), ssCom(i + 1));
    setTabOrder(ssCom(BrowserPanelLogic::LastButton), m_placeholder);
    setTabOrder(m_placeholder, m_txURL);

    // The places of the design; the first layout pass replaces them.
    resize(Twips::toPixels(QSize(9210, 2010), logicalDpiX(), logicalDpiY()));
    setGeometryTwips(m_txURL, QRect(4995, 60, 4095, 315));
    setGeometryTwips(m_placeholder, QRect(45, 435, 8925, 1305));
    for (int i = BrowserPanelLogic::FirstButton; i <= BrowserPanelLogic::LastButton; ++i)
        setGeometryTwips(ssCom(i), QRect(105 + (i - 2) * 600, 60, 600, 315));

    m_txURL->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        const auto inPanel = [this](QWidget *w) { return w && (w == this || isAncestorOf(w)); };
        if (inPanel(now) && !inPanel(old))
            emit gotFocus();
    });

    // The panel starts on the blank page. The engine takes that request up once it is running; the box
    // shows it pending until then, as for any other navigation.
    m_logic.beforeNavigate(BlankPage, true);
}

uWeb::~uWeb()
{
    // The page and its view go before the printer they may still print to and before the profile.
    delete m_view;
    m_view = nullptr;
    m_page = nullptr;
    m_printer.reset();
    m_profile.reset();
}

void uWeb::setURL(const QString &url)
{
    m_logic.setURL(url);
}

QString uWeb::URL() const
{
    return m_page ? addressText(m_page->url()) : QString();
}

void uWeb::Refresh()
{
    reload();
}

void uWeb::SetText(const QString &text)
{
    m_txURL->setText(text);
}

void uWeb::RetCom(int index)
{
    m_logic.runCommand(index);
}

QString uWeb::CurURL() const
{
    return m_logic.CurURL();
}

QWidget *uWeb::WebBrw() const
{
    return m_view ? static_cast<QWidget *>(m_view) : m_placeholder;
}

QToolButton *uWeb::ssCom(int index) const
{
    if (index < BrowserPanelLogic::FirstButton || index > BrowserPanelLogic::LastButton)
        return nullptr;
    return m_ssCom[index - BrowserPanelLogic::FirstButton];
}

void uWeb::ensureEngine()
{
    if (m_view)
        return;
    m_profile = BrowserProfile::acquire();
    auto *view = new QWebEngineView(this);
    view->setObjectName(QStringLiteral("WebBrw"));
    auto *page = new BrowserPage(m_profile.get(), view);
    view->setPage(page);
    view->setGeometry(m_placeholder->geometry());
    view->setVisible(!m_placeholder->isHidden());
    setTabOrder(ssCom(BrowserPanelLogic::LastButton), view);
    setTabOrder(view, m_txURL);
    delete m_placeholder;
    m_placeholder = nullptr;
    m_view = view;
    m_page = page;

    connect(page, &BrowserPage::navigationRequested, this, [this](const QUrl &url, bool isMainFrame) {
        m_logic.beforeNavigate(addressText(url), isMainFrame);
    });
    connect(page, &BrowserPage::navigationArrived, this,
            [this](const QUrl &url) { m_logic.navigateComplete(addressText(url), true); });
    connect(page, &BrowserPage::promptShown, this, &uWeb::promptShown);
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

    m_logic.start();
    if (!m_pendingUrl.isEmpty())
        navigate(std::exchange(m_pendingUrl, QString()));
    emit engineReady();
}

void uWeb::setDialogs(std::unique_ptr<BrowserDialogs> dialogs)
{
    if (dialogs)
        m_dialogs = std::move(dialogs);
}

void uWeb::setDocumentLauncher(std::unique_ptr<DocumentLauncher> launcher)
{
    if (launcher)
        m_launcher = std::move(launcher);
}

QPrinter &uWeb::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void uWeb::applyLayout()
{
    if (!Program::MainOpen)
        return;
    const BrowserLayout layout = BrowserPanelLogic::layout(Twips::fromPixels(width(), logicalDpiX()),
                                                           Twips::fromPixels(height(), logicalDpiY()));
    for (int i = BrowserPanelLogic::FirstButton; i <= BrowserPanelLogic::LastButton; ++i)
        setGeometryTwips(ssCom(i), layout.buttons[i - BrowserPanelLogic::FirstButton]);
    if (layout.urlBox)
        setGeometryTwips(m_txURL, *layout.urlBox);
    setGeometryTwips(WebBrw(), layout.browser);
}

void uWeb::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_startScheduled && !m_view) {
        m_startScheduled = true;
        QTimer::singleShot(0, this, &uWeb::startEngineWhenShown);
    }
}

void uWeb::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyLayout();
}

void uWeb::startEngineWhenShown()
{
    if (m_view)
        return;
    // Bringing the engine up holds the GUI thread for a while: let the window reach the screen first.
    const QWindow *window = this->window()->windowHandle();
    if ((window && window->isExposed()) || ++m_startWaits > StartWaitSteps) {
        startEngineWhenSafe();
        return;
    }
    QTimer::singleShot(StartWaitStepMs, this, &uWeb::startEngineWhenShown);
}

void uWeb::requestEngine()
{
    if (m_view || m_startRequested)
        return;
    m_startRequested = true;
    QTimer::singleShot(0, this, &uWeb::startEngineWhenSafe);
}

void uWeb::startEngineWhenSafe()
{
    if (m_view)
        return;
    // The engine draws through OpenGL, and a window first created for plain drawing is destroyed and
    // created anew when the engine's view arrives. An event being delivered to that window at the
    // moment (the key press whose command pumps messages, or that opened a message box) would find
    // its receiver gone; so the engine comes up only from the event loop itself.
    const QWidget *modal = QApplication::activeModalWidget();
    if (m_pumping || (modal && modal != window()) || QApplication::activePopupWidget()) {
        QTimer::singleShot(StartWaitStepMs, this, &uWeb::startEngineWhenSafe);
        return;
    }
    ensureEngine();
}

void uWeb::setGeometryTwips(QWidget *child, const QRect &twips)
{
    child->setGeometry(Twips::toPixels(twips, logicalDpiX(), logicalDpiY()));
}

bool uWeb::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_txURL && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            m_logic.enterPressed(m_txURL->text());
    }
    // The box handles every key as usual.
    return QWidget::eventFilter(watched, event);
}

void uWeb::showBrowser()
{
    if (!m_view) {
        m_placeholder->setVisible(true);
        requestEngine();
        return;
    }
    m_view->setVisible(true);
}

void uWeb::navigate(const QString &url)
{
    if (!m_view) {
        // Taken up as soon as the engine runs; the box tells what is coming meanwhile.
        m_pendingUrl = url;
        m_logic.beforeNavigate(url, true);
        requestEngine();
        return;
    }
    // The engine asks no one before it shows the blank page.
    if (url == BlankPage)
        m_logic.beforeNavigate(url, true);
    m_page->load(QUrl::fromUserInput(url));
}

void uWeb::reload()
{
    // Nothing is shown yet that could be reloaded; a pending page comes anyway.
    if (!m_view) {
        requestEngine();
        return;
    }
    m_page->triggerAction(QWebEnginePage::Reload);
}

bool uWeb::runScript(const QString &script)
{
    // No page yet, so no map for a script to look at.
    if (!m_view) {
        requestEngine();
        return true;
    }
    QPointer<uWeb> self(this);
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

bool uWeb::pumpMessages()
{
    QPointer<uWeb> self(this);
    const bool wasPumping = m_pumping;
    m_pumping = true;
    QCoreApplication::processEvents();
    if (self)
        m_pumping = wasPumping;
    return !self.isNull();
}

void uWeb::setUrlBoxText(const QString &text)
{
    m_txURL->setText(text);
}

void uWeb::setDocumentButtonEnabled(bool enabled)
{
    ssCom(BrowserPanelLogic::DocumentButton)->setEnabled(enabled);
}

void uWeb::goBack()
{
    if (m_page)
        m_page->triggerAction(QWebEnginePage::Back);
}

void uWeb::goForward()
{
    if (m_page)
        m_page->triggerAction(QWebEnginePage::Forward);
}

void uWeb::goHome()
{
    navigate(MapService::homePage());
}

void uWeb::goSearch()
{
    navigate(MapService::searchPage());
}

void uWeb::print()
{
    // One print at a time: the engine renders asynchronously into the printer.
    if (!m_view || m_printing)
        return;
    if (!m_dialogs->askPrint(printer(), this))
        return;
    m_printing = true;
    m_view->print(m_printer.get());
}

void uWeb::pageSetup()
{
    if (m_printing)
        return;
    m_dialogs->askPageSetup(printer(), this);
}

void uWeb::saveAs()
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

void uWeb::showDocument(const QString &url)
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
