#pragma once

#include "ui/BrowserDialogs.h"

// The platform's print, page-setup and file dialogs.
class StandardBrowserDialogs : public BrowserDialogs {
public:
    bool askPrint(QPrinter &printer, QWidget *parent) override;
    bool askPageSetup(QPrinter &printer, QWidget *parent) override;
    QString askSaveFileName(const QString &suggestedPath, QWidget *parent) override;
};
