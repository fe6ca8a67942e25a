#include "ui/BrowserPage.h"

#include "ui/PromptDialog.h"

#include <QGuiApplication>
#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>
#include <utility>

namespace {

// Chromium's net::ERR_TIMED_OUT, which Qt files under its internal errors.
constexpr int TimedOut = -7;

// The server was never reached (no network, no name, refused, no answer); a server that answered
// with an error has its own page to show.
bool isUnreachable(const QWebEngineLoadingInfo &info)
{
    return info.errorDomain() == QWebEngineLoadingInfo::ConnectionErrorDomain ||
           info.errorDomain() == QWebEngineLoadingInfo::DnsErrorDomain ||
           (info.errorDomain() == QWebEngineLoadingInfo::InternalErrorDomain && info.errorCode() == TimedOut);
}

// Our page for an unreachable address: what still works, and a link that tries the address again.
QString unreachableHtml(const QUrl &url)
{
    static const QString page = QStringLiteral(R"html(<!DOCTYPE html>
<html lang="ja"><head><meta charset="utf-8"><title>接続できません</title></head>
<body style="font-family:sans-serif;margin:1em">
<h3>地図サービスに接続できませんでした</h3>
<p>ネットワークの接続を確かめてから、もう一度お試しください。</p>
<p>住所検索（F4）、クリップボードへのコピー（F9）、依頼への回答は、このままお使いいただけます。</p>
<p><a id="retry" href="%1">もう一度読み込む</a></p>
<p style="color:gray">%2</p>
</body></html>)html");
    return page.arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), url.toDisplayString().toHtmlEscaped());
}

} // namespace

BrowserPage::BrowserPage(QWebEngineProfile *profile, QObject *parent) : QWebEnginePage(profile, parent)
{
    connect(this, &QWebEnginePage::urlChanged, this, &BrowserPage::navigationArrived);
    connect(this, &QWebEnginePage::loadingChanged, this, &BrowserPage::loadingChangedTo);
}

void BrowserPage::loadingChangedTo(const QWebEngineLoadingInfo &info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        if (!m_loadingOwnPage)
            m_unreachable.clear();
        return;
    }
    if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus) {
        m_loadingOwnPage = false;
        return;
    }
    const bool ownPage = std::exchange(m_loadingOwnPage, false);
    if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && !ownPage && isUnreachable(info)) {
        // In place of the engine's page, under the failed address, so that the URL box keeps it and a
        // reload tries it again. Other failures keep the engine's page, which commits the address too.
        m_unreachable = info.url();
        m_loadingOwnPage = true;
        setHtml(unreachableHtml(info.url()), info.url());
    }
    // A reload, or a second load of the address shown, changes no address: its end is the arrival.
    emit navigationArrived(url());
}

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame)
{
    if (!(m_loadingOwnPage && isMainFrame))
        emit navigationRequested(url, isMainFrame);
    return true;
}
QWebEnginePage *BrowserPage::createWindow(WebWindowType)
{
    // No page ever opens a window of its own: links and scripts that ask for one do nothing.
    return nullptr;
}

void BrowserPage::javaScriptAlert(const QUrl &, const QString &msg)
{
    askBox(msg, QMessageBox::Ok);
}

bool BrowserPage::javaScriptConfirm(const QUrl &, const QString &msg)
{
    return askBox(msg, QMessageBox::Ok | QMessageBox::Cancel);
}

bool BrowserPage::askBox(const QString &msg, QMessageBox::StandardButtons buttons)
{
    // The panel may go while the box is open, and the box with it.
    QPointer<QMessageBox> box(new QMessageBox(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                                              msg, buttons, QWebEngineView::forPage(this)));
    box->setTextFormat(Qt::PlainText);
    const bool accepted = box->exec() == QMessageBox::Ok;
    delete box;
    return accepted;
}

bool BrowserPage::javaScriptPrompt(const QUrl &, const QString &msg, const QString &defaultValue,
                                   QString *result)
{
    QPointer<BrowserPage> self(this);
    QPointer<PromptDialog> dialog(new PromptDialog(msg, defaultValue, QWebEngineView::forPage(this)));
    connect(dialog, &PromptDialog::shown, this, &BrowserPage::promptShown);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    // The panel may have gone while the box was open; then neither the box nor this page is left.
    if (!self || !dialog)
        return false;
    if (accepted && result)
        *result = dialog->value();
    delete dialog;
    return accepted;
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int,
                                           const QString &)
{
    // Script errors of the map pages are none of the user's business, and there is no log.
}
