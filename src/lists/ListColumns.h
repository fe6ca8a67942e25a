#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Which columns of a list hold the postal code and the address: found by the header's names, or
// given by number (from 1) or by name. An address may be split over several columns, joined in order.
struct ListColumns {
    // What part of an address a column holds, so that an address filled in goes to the right ones.
    enum class Part { Whole, Prefecture, City, Town, Rest };

    // -1: the list has no such column, and one is added after the others.
    qsizetype code = -1;
    QList<qsizetype> address;
    QList<Part> parts;
    // The first row names the columns rather than holding a record.
    bool header = false;

    // The columns of a list whose first row is firstRow; codeOption and addressOptions as given on
    // the command line (empty when not). No value, with error saying why in Japanese, when a column
    // given does not exist or no column of either kind is found.
    static std::optional<ListColumns> find(const QStringList &firstRow, const QString &codeOption,
                                           const QStringList &addressOptions, QString *error);
};
