#pragma once

#include <QString>

// What the panel's rules (BrowserController) need from the browser and from the panel's own controls,
// so that the rules stay apart from Qt WebEngine; the panel implements it.
class BrowserEngine {
public:
    virtual ~BrowserEngine() = default;

    // Makes the browser visible (and brings the engine up if it is not up yet).
    virtual void showBrowser() = 0;
    virtual void navigate(const QString &url) = 0;
    virtual void reload() = 0;
    // Runs a script in the page shown and returns when it has finished (a prompt it opens included).
    // Returns false when the panel went away meanwhile: the caller must then touch nothing of it.
    virtual bool runScript(const QString &script) = 0;
    // Lets queued events run once. Returns false when the panel went away meanwhile.
    virtual bool letQueuedEventsRun() = 0;

    virtual void setUrlBoxText(const QString &text) = 0;
    virtual void setDocumentButtonEnabled(bool enabled) = 0;

    // The tool-button commands. Each one gives up quietly when it cannot be done.
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void goHome() = 0;
    virtual void goSearch() = 0;
    virtual void print() = 0;
    virtual void pageSetup() = 0;
    virtual void saveAs() = 0;
    // Hands the document shown (an xls or doc page) to the program the user's system uses for it.
    virtual void showDocument(const QString &url) = 0;
};
