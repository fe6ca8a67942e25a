#include "ui/BrowserPage.h"

#include "ui/PromptDialog.h"

#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

BrowserPage::BrowserPage(QWebEngineProfile *profile, QObject *parent) : QWebEnginePage(profile, parent)
{
    connect(this, &QWebEnginePage::urlChanged, this, &BrowserPage::navigationArrived);
    // A reload, or a second load of the address shown, changes no address: its end is the arrival.
    connect(this, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus ||
            info.status() == QWebEngineLoadingInfo::LoadFailedStatus)
            emit navigationArrived(url());
    });
}

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame)
{
    emit navigationRequested(url, isMainFrame);
    return true;
}

QWebEnginePage *BrowserPage::createWindow(WebWindowType)
{
    // No page ever opens a window of its own: links and scripts that ask for one do nothing.
    return nullptr;
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
