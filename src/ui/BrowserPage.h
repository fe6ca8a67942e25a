#pragma once

#include "ui/PromptDialog.h"

#include <QMessageBox>
#include <QUrl>
#include <QWebEnginePage>

class QWebEngineLoadingInfo;

// The panel's page: reports navigations to the panel, opens no windows, asks prompts with our own
// box, shows alerts and confirmations under the program's name (the engine's boxes are titled in
// English), and tells in Japanese when an address cannot be reached.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    BrowserPage(QWebEngineProfile *profile, QObject *parent);

    // While our page for an unreachable address is shown (under that address): the address; else empty.
    QUrl unreachableUrl() const { return m_unreachable; }

signals:
    // A navigation is about to start, in the page itself or in one of its frames.
    void navigationRequested(const QUrl &url, bool isMainFrame);
    // The page's own address has changed or its load has ended: a navigation of the page arrived.
    void navigationArrived(const QUrl &url);
    void promptShown(PromptDialog *dialog);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                          QString *result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int lineNumber,
                                  const QString &sourceID) override;

private:
    // Whether the user accepted the page's message, in a box with these buttons.
    bool askBox(const QString &msg, QMessageBox::StandardButtons buttons);
    void loadingChangedTo(const QWebEngineLoadingInfo &info);

    QUrl m_unreachable;
    // Our own page is on its way: its load is no navigation of the user's.
    bool m_loadingOwnPage = false;
};
