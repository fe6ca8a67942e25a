#include "ui/DialogWait.h"

#include "ui/DialogInTheWay.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

DialogWait::DialogWait(QWidget &window) : QObject(&window), m_window(window) {}

void DialogWait::whenClear(std::function<void()> then)
{
    m_then = std::move(then);
    check();
}

void DialogWait::check()
{
    if (m_dialog)
        m_dialog->removeEventFilter(this);
    m_dialog = nullptr;
    if (!m_then)
        return;
    if (!dialogInTheWay(m_window)) {
        std::exchange(m_then, nullptr)();
        return;
    }
    m_dialog = QApplication::activeModalWidget();
    m_dialog->installEventFilter(this);
    connect(m_dialog, &QObject::destroyed, this, &DialogWait::check, Qt::UniqueConnection);
}

bool DialogWait::eventFilter(QObject *watched, QEvent *event)
{
    // Another dialog may follow the one closing (a message after a chooser): looked at once this one
    // is gone from the modal stack.
    if (watched == m_dialog && event->type() == QEvent::Hide)
        QTimer::singleShot(0, this, &DialogWait::check);
    return QObject::eventFilter(watched, event);
}
