#include "ui/StandardBrowserDialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>

bool StandardBrowserDialogs::askPrint(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool StandardBrowserDialogs::askPageSetup(QPrinter &printer, QWidget *parent)
{
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

QString StandardBrowserDialogs::askSaveFileName(const QString &suggestedPath, QWidget *parent)
{
    return QFileDialog::getSaveFileName(parent, QString(), suggestedPath,
                                        QStringLiteral("Web archive (*.mhtml *.mht);;All files (*)"));
}
