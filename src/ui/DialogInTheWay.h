#pragma once

#include <QApplication>
#include <QWidget>

// Whether a dialog the user must deal with first (the F8 box, a message, a chooser) is open over the
// window. A request's own window is modal too, and no such dialog.
inline bool dialogInTheWay(const QWidget &window)
{
    const QWidget *modal = QApplication::activeModalWidget();
    return modal && modal != &window;
}
