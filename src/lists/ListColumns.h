#pragma once

#include "lists/ListRequest.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Which columns of a list hold the postal code and the address: found by the header's names, or
// given by number (from 1) or by name. An address may be split over several columns, joined in order.
struct ListColumns {
    // Why no columns came of find(): a column given that the list does not have, or none found.
    enum class Fault { None, NoSuchColumn, NotFound };
    // What part of an address a column holds, so that an address filled in goes to the right ones.
    enum class Part { Whole, Prefecture, City, Town, Rest };

    // -1: the list has no such column, and one is added after the others.
    qsizetype code = -1;
    QList<qsizetype> address;
    QList<Part> parts;
    // The first row names the columns rather than holding a record.
    bool header = false;

    // The columns of a list whose first row is firstRow; codeOption and addressOptions as given on
    // the command line (empty when not), header as the user told it (no value: the first row tells).
    // The first row names columns where a column is given by name; where columns are given by number
    // only, where one of its cells is a header name as a whole (an address holding 番地 or 〒 is data);
    // with no columns given, where a cell holds a header name (送付先住所). No value, with error saying
    // why in Japanese and fault which of the two it is, when a column given does not exist or no
    // column is found.
    static std::optional<ListColumns> find(const QStringList &firstRow, const QString &codeOption,
                                           const QStringList &addressOptions, std::optional<bool> header,
                                           QString *error, Fault *fault);
    // request with these columns given by number and the header said outright, as --code-column,
    // --address-column and --header or --no-header give them.
    ListRequest givenIn(ListRequest request) const;
};
