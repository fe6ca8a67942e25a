#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The text a list is read as: told by its bytes, or as the user asked.
enum class ListEncoding { Detect, Cp932, Utf8 };

// One list to complete, and how.
struct ListRequest {
    QString input;
    QString output; // empty: beside the input (ListCompletion::defaultOutput)
    QString codeColumn;
    QStringList addressColumns;
    ListEncoding encoding = ListEncoding::Detect;
    bool overwrite = false;
    // Whether the first row names the columns; no value: told by its cells.
    std::optional<bool> header;
};
