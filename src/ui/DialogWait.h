#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// Holds something back while a dialog is in the way (see dialogInTheWay) and lets it go once the last
// such dialog has closed, heard from the dialogs themselves rather than by looking again and again.
class DialogWait : public QObject {
    Q_OBJECT
public:
    explicit DialogWait(QWidget &window);

    // Calls then at once when no dialog is in the way, else once none is (a wait already running is
    // replaced). Nothing is called once this object is gone.
    void whenClear(std::function<void()> then);

private:
    void check();
    bool eventFilter(QObject *watched, QEvent *event) override;

    QWidget &m_window;
    QPointer<QWidget> m_dialog;
    std::function<void()> m_then;
};
