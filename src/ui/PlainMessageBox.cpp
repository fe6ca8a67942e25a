#include "ui/PlainMessageBox.h"

#include <QMessageBox>

void PlainMessageBox::show(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
