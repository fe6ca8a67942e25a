#include "ui/BrowserRules.h"

#include "ui/WindowDesign.h"

#include <QUrl>

#include <algorithm>

namespace {

const QString ScriptScheme = QStringLiteral("javascript:");

} // namespace

const QString BrowserRules::kBlankPage = QStringLiteral("about:blank");

BrowserStep BrowserRules::asked(const QString &url) const
{
    if (!m_currentUrl.isEmpty() && url.toLower() == m_currentUrl.toLower())
        return {BrowserStep::Kind::Reload, {}};
    if (url.isEmpty())
        return {BrowserStep::Kind::Navigate, kBlankPage};
    return entered(url);
}

BrowserStep BrowserRules::entered(const QString &boxText)
{
    if (isScriptUrl(boxText))
        return {BrowserStep::Kind::RunScript, scriptOf(boxText)};
    return {BrowserStep::Kind::Navigate, boxText};
}

std::optional<QString> BrowserRules::boxTextForStart(const QString &url, bool isMainFrame)
{
    if (!isMainFrame)
        return std::nullopt;
    return QStringLiteral("読み込み中… ") + readable(url);
}

QString BrowserRules::readable(const QString &url)
{
    // Japanese and spaces as they read; a percent-encoded delimiter (%26, %3D, %2B) stays encoded, as
    // QUrl keeps it, so that Enter in the box asks for the same page.
    const QUrl parsed(url);
    return parsed.isValid() ? parsed.toString(QUrl::PrettyDecoded) : url;
}

void BrowserRules::arrived(const QString &url)
{
    m_currentUrl = url == kBlankPage ? QString() : url;
}

std::optional<QString> BrowserRules::documentToShow() const
{
    if (!documentButtonOn())
        return std::nullopt;
    return m_currentUrl;
}

bool BrowserRules::isScriptUrl(const QString &url)
{
    return url.startsWith(ScriptScheme, Qt::CaseInsensitive);
}

QString BrowserRules::scriptOf(const QString &url)
{
    return QUrl::fromPercentEncoding(url.mid(ScriptScheme.size()).toUtf8());
}

bool BrowserRules::isDocumentUrl(const QString &url)
{
    const QString tail = url.right(3).toLower();
    return tail == QLatin1String("xls") || tail == QLatin1String("doc");
}

QRect BrowserRules::toolButtonPlace(QPoint origin, size_t index)
{
    using WindowDesign::kToolButton;
    return QRect(origin + QPoint(int(index) * kToolButton.width(), 0), kToolButton);
}

BrowserLayout BrowserRules::layout(int width, int height)
{
    BrowserLayout result;
    using namespace WindowDesign;
    for (size_t i = 0; i < result.buttons.size(); ++i)
        result.buttons[i] = toolButtonPlace(QPoint(0, 0), i);
    const int boxWidth = width - kUrlBoxLeft - kUrlBoxRightMargin;
    if (boxWidth >= 0)
        result.urlBox = QRect(kUrlBoxLeft, kUrlBoxTop, boxWidth, kUrlBoxHeight);
    result.browser =
        QRect(0, kBrowserTop, std::max(width, 0), std::max(height - kBrowserTop - kBrowserBottomMargin, 0));
    return result;
}
