#pragma once

#include <QString>

class QLabel;

// A status-bar panel that several parts of the window write to. Each text is said by someone, and
// only the one who said the text shown may take it back: a part's "loading…" must not wipe what
// another part has said since.
class StatusPanel {
public:
    explicit StatusPanel(QLabel &label) : m_label(label) {}

    void say(const QString &text, const void *author);
    // Clears the panel when the text shown is author's.
    void withdraw(const void *author);

private:
    QLabel &m_label;
    const void *m_author = nullptr;
};
