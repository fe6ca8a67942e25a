#include "ui/PlainMessageBox.h"

#include <QMessageBox>

const QString PlainMessageBox::kTitle = QStringLiteral("Velmora");

void PlainMessageBox::show(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
