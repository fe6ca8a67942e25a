#pragma once

#include <QDate>
#include <QStringList>
#include <functional>

class Console;

// velmora-complete: one list completed from the postal-code data Velmora's address search uses (the
// shipped index, and Japan Post's files in the user data folder), told on standard error.
// Exit status 0 when the list was done (whatever its rows' statuses), 1 when the list or the data
// could not be used or the output not written, 2 for a command line that cannot be followed (a
// column the list does not have included), 128 + the signal's number when one stopped it.
class CompleteCommand {
public:
    // today is the date against which the data's age is told.
    CompleteCommand(Console &console, QDate today) : m_console(console), m_today(today) {}
    // userFolder settles the user data folder, where Japan Post's own files may be; asked only when a
    // list is to be done.
    int run(const QStringList &arguments, const QString &dataPath,
            const std::function<QString()> &userFolder);

private:
    void showProgress(qint64 done, qint64 total, qint64 elapsedMs);
    // --update-data: 0 when the data was replaced, 1 when it was left as it was.
    int updateData(const QString &dataPath, const QString &userFolder);

    Console &m_console;
    QDate m_today;
    bool m_terminal = false;
    int m_shownPercent = -1;
};
