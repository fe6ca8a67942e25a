#pragma once

#include "lists/ListCompletion.h"

#include <QString>

// What a list came to, in the words both the console program and the window use.
struct ListSummary {
    // "完了: 1,200 行（補完 1,000、一致 180、不一致 20）": the statuses that rows have, in their order.
    static QString rows(const ListCompletion::Report &report);
    // rows(), then extra on the same line, then where the output is and the data's date, a line each.
    static QString text(const ListCompletion::Report &report, const QString &extra, const QString &output);
    // Whether any row has a status the user is asked to look at (RowStatusText::needsLook).
    static bool hasRowsToLookAt(const ListCompletion::Report &report);
    // What a list stopped while it ran leaves: no output (kCancelled), or the earlier one as it was.
    static QString cancelled(bool earlierOutput);
    // What a list the user did not let run leaves, in the same words.
    static QString notRun(bool earlierOutput);
    static const QString kLookAtRows;
    static const QString kCancelled;
    static const QString kNoData;
};
