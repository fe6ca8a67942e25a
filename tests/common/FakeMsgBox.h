#pragma once

#include "app/MsgBox.h"

#include <QStringList>

// Answers every message box at once (OK is the only button) and keeps the texts for the test.
class FakeMsgBox : public MsgBox {
public:
    void show(const QString &text) override { m_texts.append(text); }
    const QStringList &texts() const { return m_texts; }
    void clear() { m_texts.clear(); }

private:
    QStringList m_texts;
};
