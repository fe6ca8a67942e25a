#include "ui/Question.h"

#include "ui/PlainMessageBox.h"

#include <QMessageBox>
#include <QPushButton>

bool askToGoOn(QWidget &window, const QString &question, const QString &action)
{
    QMessageBox box(QMessageBox::Question, PlainMessageBox::kTitle, question, QMessageBox::NoButton, &window);
    box.setTextFormat(Qt::PlainText);
    const QPushButton *goOn = box.addButton(action, QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole));
    box.exec();
    return box.clickedButton() == goOn;
}
