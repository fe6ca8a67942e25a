#pragma once

#include "lists/ListRequest.h"

#include <QList>
#include <QStringList>

class Cp932Codec;

// The start of a list, read before it is run, on the window's thread (it reads the first rows alone):
// whether its columns are found as the request gives them and, where they are not, its first rows as
// the list's text, for the user to name the columns from.
struct ListPreview {
    // Failed: the list cannot be run for another cause, which the run tells as it would anyway.
    enum class Outcome { Ready, ColumnsNotFound, Failed };
    Outcome outcome = Outcome::Failed;
    // Up to the rows asked for, empty lines left out, each field decoded as the list's encoding is
    // guessed; only where the columns are not found.
    QList<QStringList> rows;

    static ListPreview of(const ListRequest &request, const Cp932Codec &codec, int rowCount);
};
