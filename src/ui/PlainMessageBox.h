#pragma once

#include "core/MessageSink.h"

class QWidget;

// The program's message box on screen: OK only, no icon, the title "Velmora".
class PlainMessageBox : public MessageSink {
public:
    // The title of every box and dialog the program itself shows.
    static const QString kTitle;

    explicit PlainMessageBox(QWidget *parent = nullptr) : m_parent(parent) {}
    void show(const QString &text) override;

private:
    QWidget *m_parent;
};
