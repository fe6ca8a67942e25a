#include "ui/PlainMessageBox.h"

#include <QMessageBox>

void PlainMessageBox::show(const QString &text)
{
    QString shown = text;
    // Our texts break lines with CR alone; Qt breaks on LF.
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), shown, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
