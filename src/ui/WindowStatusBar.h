#pragma once

#include <QDate>
#include <QStatusBar>
#include <array>
#include <memory>

class QLabel;
class StatusPanel;

// The window's status bar: its first panel says what the last command found (shared through
// StatusPanel), its second holds the warnings about files that cannot serve and about old postal data,
// and its tooltip tells the data's date.
class WindowStatusBar : public QStatusBar {
    Q_OBJECT
public:
    // font: the grid's, which the bar takes at its own size.
    WindowStatusBar(const QFont &font, double dpi, QWidget *parent);
    ~WindowStatusBar() override;

    StatusPanel &commandPanel() { return *m_commandPanel; }
    // Stays until the program ends (or, for the data's age, until newer data has loaded); a warning
    // shown already is not repeated.
    void showWarning(const QString &text);
    // The date of the data now in use ("2026-05-29"; empty while loading): in the tooltip, and said
    // in the warnings once the data is old on today.
    void showDataDate(const QString &date, QDate today);
    QString text(int panel) const;

private:
    void setWarnings(const QStringList &warnings);

    std::array<QLabel *, 2> m_panels{};
    std::unique_ptr<StatusPanel> m_commandPanel;
    QString m_oldDataWarning;
};
