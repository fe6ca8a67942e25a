#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A list of rows of 500,000 fields each under a 〒 header: a whole list's work long before the
// 4,096th row, for the tests of stopping a list between two rows.
inline bool writeLongRowsList(const QString &path, int rows)
{
    QFile list(path);
    if (!list.open(QIODevice::WriteOnly) || list.write("\xE3\x80\x92,x\n") != 6)
        return false;
    const QByteArray row = QByteArray("1,").repeated(499999) + "1\n";
    for (int i = 0; i < rows; ++i)
        if (list.write(row) != row.size())
            return false;
    return true;
}
