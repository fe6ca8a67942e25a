#include "ui/BrowserController.h"

#include "ui/WindowDesign.h"

#include <QUrl>

#include <algorithm>

namespace {

const QString BlankPage = QStringLiteral("about:blank");
const QString ScriptScheme = QStringLiteral("javascript:");

// The browser notifications and the tool buttons go on whatever one step does.
template <typename Step> void ignoringFailure(Step step)
{
    try {
        step();
    } catch (...) {
    }
}

} // namespace

BrowserController::BrowserController(BrowserEngine &engine) : m_engine(engine) {}

void BrowserController::start()
{
    m_engine.navigate(BlankPage);
}

void BrowserController::setUrl(const QString &url)
{
    m_engine.showBrowser();
    // Asking again for the page shown reloads it.
    if (!m_currentUrl.isEmpty() && url.toLower() == m_currentUrl.toLower()) {
        m_engine.reload();
        return;
    }
    if (url.isEmpty()) {
        m_engine.navigate(BlankPage);
        return;
    }
    if (isScriptUrl(url)) {
        // The map-centre command counts on the script, and the prompt it opens, being over on return.
        if (!m_engine.runScript(scriptOf(url)))
            return;
    } else {
        m_engine.navigate(url);
    }
    m_engine.letQueuedEventsRun();
}

void BrowserController::enterPressed(const QString &boxText)
{
    go(boxText);
}

void BrowserController::navigationStarting(const QString &url, bool isMainFrame)
{
    // A frame of the page (an advert, a map tile) is not what the user asked for.
    if (!isMainFrame)
        return;
    ignoringFailure([&] { m_engine.setUrlBoxText(lookingText(url)); });
}

void BrowserController::navigationArrived(const QString &url, bool isMainFrame)
{
    if (!isMainFrame)
        return;
    m_currentUrl = url == BlankPage ? QString() : url;
    ignoringFailure([&] { m_engine.setUrlBoxText(m_currentUrl); });
    ignoringFailure([&] { m_engine.setDocumentButtonEnabled(isDocumentUrl(m_currentUrl)); });
}

void BrowserController::run(BrowserTool tool)
{
    ignoringFailure([&] {
        switch (tool) {
        case BrowserTool::Back:
            m_engine.goBack();
            break;
        case BrowserTool::Forward:
            m_engine.goForward();
            break;
        case BrowserTool::Home:
            m_engine.goHome();
            break;
        case BrowserTool::Search:
            m_engine.goSearch();
            break;
        case BrowserTool::Print:
            m_engine.print();
            break;
        case BrowserTool::PageSetup:
            m_engine.pageSetup();
            break;
        case BrowserTool::Save:
            m_engine.saveAs();
            break;
        case BrowserTool::Document:
            // Only a document has toolbars to show; on any other page the command has nothing to do.
            if (isDocumentUrl(m_currentUrl))
                m_engine.showDocument(m_currentUrl);
            break;
        }
    });
    m_engine.letQueuedEventsRun();
}

bool BrowserController::isScriptUrl(const QString &url)
{
    return url.startsWith(ScriptScheme, Qt::CaseInsensitive);
}

QString BrowserController::scriptOf(const QString &url)
{
    return QUrl::fromPercentEncoding(url.mid(ScriptScheme.size()).toUtf8());
}

bool BrowserController::isDocumentUrl(const QString &url)
{
    const QString tail = url.right(3).toLower();
    return tail == QLatin1String("xls") || tail == QLatin1String("doc");
}

QString BrowserController::lookingText(const QString &url)
{
    return QStringLiteral("Looking..") + url;
}

BrowserLayout BrowserController::layout(int width, int height)
{
    BrowserLayout result;
    using namespace WindowDesign;
    for (size_t i = 0; i < result.buttons.size(); ++i)
        result.buttons[i] = QRect(QPoint(int(i) * kToolButton.width(), 0), kToolButton);
    const int boxWidth = width - kUrlBoxLeft - kUrlBoxRightMargin;
    if (boxWidth >= 0)
        result.urlBox = QRect(kUrlBoxLeft, kUrlBoxTop, boxWidth, kUrlBoxHeight);
    result.browser =
        QRect(0, kBrowserTop, std::max(width, 0), std::max(height - kBrowserTop - kBrowserBottomMargin, 0));
    return result;
}

void BrowserController::go(const QString &url)
{
    if (isScriptUrl(url))
        m_engine.runScript(scriptOf(url));
    else
        m_engine.navigate(url);
}
