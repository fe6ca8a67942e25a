#pragma once

#include <QStringList>

class Console;

// velmora-complete: one list completed from the shipped postal-code data, told on standard error.
// Exit status 0 when the list was done (whatever its rows' statuses), 1 when the list or the data
// could not be used or the work was interrupted, 2 for a command line that cannot be followed.
class CompleteCommand {
public:
    explicit CompleteCommand(Console &console) : m_console(console) {}
    int run(const QStringList &arguments, const QString &dataPath);

private:
    void showProgress(qint64 done, qint64 total, qint64 elapsedMs);

    Console &m_console;
    bool m_terminal = false;
    int m_shownPercent = -1;
};
