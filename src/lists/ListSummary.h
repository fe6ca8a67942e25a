#pragma once

#include "lists/ListCompletion.h"

#include <QString>

// What a list came to, in the words both the console program and the window use.
struct ListSummary {
    // "完了: 1,200 行（補完 1,000、一致 180、不一致 20）": the statuses that rows have, in their order.
    static QString rows(const ListCompletion::Report &report);
    static const QString kCancelled;
    static const QString kNoData;
};
