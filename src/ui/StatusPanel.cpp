#include "ui/StatusPanel.h"

#include <QLabel>

void StatusPanel::say(const QString &text, const void *author)
{
    m_label.setText(text);
    m_author = author;
}

void StatusPanel::withdraw(const void *author)
{
    if (m_author != author)
        return;
    m_label.clear();
    m_author = nullptr;
}
