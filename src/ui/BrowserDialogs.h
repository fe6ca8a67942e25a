#pragma once

#include <QString>

class QPrinter;
class QWidget;

// The questions the print, page-setup and save commands put to the user. Tests answer them without a
// person; the program asks with the platform's dialogs (StandardBrowserDialogs).
class BrowserDialogs {
public:
    virtual ~BrowserDialogs() = default;

    // True to print with the printer as chosen.
    virtual bool askPrint(QPrinter &printer, QWidget *parent) = 0;
    // True when the page layout on the printer was changed and is to be kept.
    virtual bool askPageSetup(QPrinter &printer, QWidget *parent) = 0;
    // The file to save the page to; empty when the user declined.
    virtual QString askSaveFileName(const QString &suggestedPath, QWidget *parent) = 0;
};
