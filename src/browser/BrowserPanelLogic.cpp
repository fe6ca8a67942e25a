#include "browser/BrowserPanelLogic.h"

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

BrowserPanelLogic::BrowserPanelLogic(BrowserEngine &engine) : m_engine(engine) {}

void BrowserPanelLogic::start()
{
    m_engine.navigate(BlankPage);
}

void BrowserPanelLogic::setURL(const QString &url)
{
    m_engine.showBrowser();
    // Asking again for the page shown reloads it.
    if (!m_curURL.isEmpty() && url.toLower() == m_curURL.toLower()) {
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
    m_engine.pumpMessages();
}

void BrowserPanelLogic::enterPressed(const QString &boxText)
{
    go(boxText);
}

void BrowserPanelLogic::beforeNavigate(const QString &url, bool isMainFrame)
{
    // A frame of the page (an advert, a map tile) is not what the user asked for.
    if (!isMainFrame)
        return;
    ignoringFailure([&] { m_engine.setUrlBoxText(lookingText(url)); });
}

void BrowserPanelLogic::navigateComplete(const QString &url, bool isMainFrame)
{
    if (!isMainFrame)
        return;
    m_curURL = url == BlankPage ? QString() : url;
    ignoringFailure([&] { m_engine.setUrlBoxText(m_curURL); });
    ignoringFailure([&] { m_engine.setDocumentButtonEnabled(isDocumentUrl(m_curURL)); });
}

void BrowserPanelLogic::runCommand(int index)
{
    ignoringFailure([&] {
        switch (index) {
        case 2:
            m_engine.goBack();
            break;
        case 3:
            m_engine.goForward();
            break;
        case 4:
            m_engine.goHome();
            break;
        case 5:
            m_engine.goSearch();
            break;
        case 6:
            m_engine.print();
            break;
        case 7:
            m_engine.pageSetup();
            break;
        case 8:
            m_engine.saveAs();
            break;
        case 9:
            // Only a document has toolbars to show; on any other page the command has nothing to do.
            if (isDocumentUrl(m_curURL))
                m_engine.showDocument(m_curURL);
            break;
        default:
            break;
        }
    });
    m_engine.pumpMessages();
}

bool BrowserPanelLogic::isScriptUrl(const QString &url)
{
    return url.startsWith(ScriptScheme, Qt::CaseInsensitive);
}

QString BrowserPanelLogic::scriptOf(const QString &url)
{
    return QUrl::fromPercentEncoding(url.mid(ScriptScheme.size()).toUtf8());
}

bool BrowserPanelLogic::isDocumentUrl(const QString &url)
{
    const QString tail = url.right(3).toLower();
    return tail == QLatin1String("xls") || tail == QLatin1String("doc");
}

QString BrowserPanelLogic::lookingText(const QString &url)
{
    return QStringLiteral("Looking..") + url;
}

BrowserLayout BrowserPanelLogic::layout(int width, int height)
{
    BrowserLayout result;
    for (int i = FirstButton; i <= LastButton; ++i)
        result.buttons[i - FirstButton] =
            QRect((i - FirstButton) * ButtonWidth, 0, ButtonWidth, ButtonHeight);
    // The box starts a fifth of a button past the row: 8.2 button widths.
    const int boxLeft = ButtonWidth * 82 / 10;
    const int boxWidth = width - boxLeft - 20;
    if (boxWidth >= 0)
        result.urlBox = QRect(boxLeft, 60, boxWidth, 220);
    result.browser = QRect(0, 330, std::max(width, 0), std::max(height - 345, 0));
    return result;
}

void BrowserPanelLogic::go(const QString &url)
{
    if (isScriptUrl(url))
        m_engine.runScript(scriptOf(url));
    else
        m_engine.navigate(url);
}
