#pragma once

#include "app/MsgBox.h"

class QWidget;

// The program's message box on screen: OK only, no icon, the title "Velmora".
class QtMsgBox : public MsgBox {
public:
    explicit QtMsgBox(QWidget *parent = nullptr) : m_parent(parent) {}
    void show(const QString &text) override;

private:
    QWidget *m_parent;
};
