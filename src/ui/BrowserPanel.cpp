#include "ui/BrowserPanel.h"

#include "core/MapService.h"
#include "core/Twips.h"
#include "ui/BrowserContextMenu.h"
#include "ui/BrowserEngineHost.h"
#include "ui/BrowserPage.h"
#include "ui/BrowserPageActions.h"
#include "ui/PromptDialog.h"
#include "ui/WindowDesign.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QQuickWidget>
#include <QToolButton>
#include <QUrl>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineView>
#include <utility>

namespace {

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

BrowserPanel::BrowserPanel(const Services &services, QWidget *parent)
    : QWidget(parent), m_urlEdit(new QLineEdit(this)), m_placeholder(new QQuickWidget(this)),
      m_engine(std::make_unique<BrowserEngineHost>(*this)),
      m_pageActions(std::make_unique<BrowserPageActions>(*m_engine, *this, services))
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
        connect(button, &QToolButton::clicked, this, [this, tool = design.tool] { run(tool); });
        m_toolButtons[i] = button;
        if (i > 0)
            setTabOrder(m_toolButtons[i - 1], button);
    }
    setTabOrder(m_toolButtons.back(), m_placeholder);
    setTabOrder(m_placeholder, m_urlEdit);

    // The places of the design; the first layout pass replaces them.
    resize(Twips::toPixels(WindowDesign::kPanel, logicalDpiX(), logicalDpiY()));
    placeInTwips(*m_urlEdit, WindowDesign::kPanelUrlBox);
    placeInTwips(*m_placeholder, WindowDesign::kPanelBrowser);
    for (size_t i = 0; i < m_toolButtons.size(); ++i)
        placeInTwips(*m_toolButtons[i], BrowserRules::toolButtonPlace(WindowDesign::kPanelFirstTool, i));

    connect(m_engine.get(), &BrowserEngineHost::started, this, &BrowserPanel::engineStarted);
    connect(m_engine.get(), &BrowserEngineHost::pageLoaded, this, &BrowserPanel::pageLoaded);
    m_urlEdit->installEventFilter(this);

    // The panel starts on the blank page. The engine takes that request up once it is running; the box
    // shows it pending until then, as for any other navigation.
    navigationStarting(BrowserRules::kBlankPage, true);
}

BrowserPanel::~BrowserPanel()
{
    // The page and its view go before the printer they may still print to, and before the profile.
    m_engine.reset();
    m_pageActions.reset();
}

void BrowserPanel::setUrl(const QString &url)
{
    showBrowser();
    carryOut(m_rules.asked(url));
}

void BrowserPanel::runScript(const QString &script, std::function<void(const QVariant &)> done)
{
    m_engine->runScript(script, std::move(done));
}

void BrowserPanel::carryOut(const BrowserStep &step)
{
    switch (step.kind) {
    case BrowserStep::Kind::Navigate:
        navigate(step.target);
        break;
    case BrowserStep::Kind::Reload:
        reload();
        break;
    case BrowserStep::Kind::RunScript:
        // What a page's script gives back is the page's business.
        runScript(step.target, [](const QVariant &) {});
        break;
    }
}

void BrowserPanel::navigationStarting(const QString &url, bool isMainFrame)
{
    if (const auto text = BrowserRules::boxTextForStart(url, isMainFrame))
        setUrlBoxText(*text);
}

void BrowserPanel::navigationArrived(const QString &url)
{
    m_rules.arrived(url);
    setUrlBoxText(m_rules.boxText());
    toolButton(BrowserTool::Document)->setEnabled(m_rules.documentButtonOn());
}

QString BrowserPanel::pageUrl() const
{
    return m_engine && m_engine->page() ? addressText(m_engine->page()->url()) : QString();
}

void BrowserPanel::run(BrowserTool tool)
{
    BrowserPage *page = m_engine->page();
    switch (tool) {
    case BrowserTool::Back:
        if (page)
            page->triggerAction(QWebEnginePage::Back);
        break;
    case BrowserTool::Forward:
        if (page)
            page->triggerAction(QWebEnginePage::Forward);
        break;
    case BrowserTool::Home:
        navigate(MapService::homePage());
        break;
    case BrowserTool::Search:
        navigate(MapService::searchPage());
        break;
    case BrowserTool::Print:
        m_pageActions->print();
        break;
    case BrowserTool::PageSetup:
        m_pageActions->pageSetup();
        break;
    case BrowserTool::Save:
        m_pageActions->saveAs();
        break;
    case BrowserTool::Document:
        if (const auto document = m_rules.documentToShow())
            m_pageActions->showDocument(*document);
        break;
    }
}

QString BrowserPanel::currentUrl() const
{
    return m_rules.currentUrl();
}

QWidget *BrowserPanel::browserWidget() const
{
    return m_engine->isUp() ? static_cast<QWidget *>(m_engine->view()) : m_placeholder;
}

QWebEngineView *BrowserPanel::webView() const
{
    return m_engine->view();
}

QToolButton *BrowserPanel::toolButton(BrowserTool tool) const
{
    for (size_t i = 0; i < kBrowserTools.size(); ++i)
        if (kBrowserTools[i].tool == tool)
            return m_toolButtons[i];
    return nullptr;
}

bool BrowserPanel::isEngineReady() const
{
    return m_engine->isUp();
}

void BrowserPanel::requestEngine()
{
    m_engine->requestStart();
}

bool BrowserPanel::isLoading() const
{
    return m_engine->isLoading();
}

void BrowserPanel::engineStarted()
{
    QWebEngineView *view = m_engine->view();
    BrowserPage *page = m_engine->page();
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
    connect(page, &BrowserPage::navigationRequested, this,
            [this](const QUrl &url, bool isMainFrame) { navigationStarting(addressText(url), isMainFrame); });
    connect(page, &BrowserPage::navigationArrived, this,
            [this](const QUrl &url) { navigationArrived(addressText(url)); });
    connect(page, &BrowserPage::promptShown, this, &BrowserPanel::promptShown);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, &BrowserPanel::showContextMenu);

    // A page asked for already goes first: a blank page before it would end its load in between, and
    // someone waiting for the page to load would take that for the page's own.
    if (m_pendingUrl.isEmpty())
        navigate(BrowserRules::kBlankPage);
    else
        navigate(std::exchange(m_pendingUrl, QString()));
    emit engineReady();
}

void BrowserPanel::showContextMenu(const QPoint &at)
{
    QWebEngineView *view = m_engine->view();
    const QWebEngineContextMenuRequest *request = view->lastContextMenuRequest();
    if (!request)
        return;
    if (QMenu *menu = BrowserContextMenu::create(
            *request, *m_engine->page(), [this] { m_pageActions->saveAs(); }, view))
        menu->popup(view->mapToGlobal(at));
}

void BrowserPanel::setLayoutEnabled(bool enabled)
{
    m_layoutEnabled = enabled;
}

void BrowserPanel::applyLayout()
{
    if (!m_layoutEnabled)
        return;
    const BrowserLayout layout = BrowserRules::layout(Twips::fromPixels(width(), logicalDpiX()),
                                                      Twips::fromPixels(height(), logicalDpiY()));
    for (size_t i = 0; i < m_toolButtons.size(); ++i)
        placeInTwips(*m_toolButtons[i], layout.buttons[i]);
    if (layout.urlBox)
        placeInTwips(*m_urlEdit, *layout.urlBox);
    placeInTwips(*browserWidget(), layout.browser);
}

void BrowserPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_engine->panelShown();
}

void BrowserPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyLayout();
}

bool BrowserPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_urlEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            carryOut(BrowserRules::entered(m_urlEdit->text()));
    }
    // The box handles every key as usual.
    return QWidget::eventFilter(watched, event);
}

void BrowserPanel::showBrowser()
{
    if (!m_engine->isUp()) {
        m_placeholder->setVisible(true);
        requestEngine();
        return;
    }
    m_engine->view()->setVisible(true);
}

void BrowserPanel::navigate(const QString &url)
{
    if (!m_engine->isUp()) {
        // Taken up as soon as the engine runs; the box tells what is coming meanwhile.
        m_pendingUrl = url;
        navigationStarting(url, true);
        requestEngine();
        return;
    }
    m_engine->loadAsked();
    // The engine asks no one before it shows the blank page.
    if (url == BrowserRules::kBlankPage)
        navigationStarting(url, true);
    m_engine->page()->load(QUrl::fromUserInput(url));
}

void BrowserPanel::reload()
{
    // Nothing is shown yet that could be reloaded; a pending page comes anyway.
    if (!m_engine->isUp()) {
        requestEngine();
        return;
    }
    m_engine->loadAsked();
    // Our page for an unreachable address is no page of its own: reloading it tries that address again.
    BrowserPage *page = m_engine->page();
    if (const QUrl failed = page->unreachableUrl(); !failed.isEmpty())
        page->load(failed);
    else
        page->triggerAction(QWebEnginePage::Reload);
}

void BrowserPanel::setUrlBoxText(const QString &text)
{
    m_urlEdit->setText(text);
}
