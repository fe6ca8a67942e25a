#pragma once

#include <QString>
#include <QStringList>

// What a text pasted into the record's row becomes: a spreadsheet's row comes as fields separated by
// tabs, ending in a line break, and fills the cells from the current one to the right. A text of
// several lines, or of more fields than there are cells to the right, is refused whole rather than
// split or cut silently.
struct RowPaste {
    enum class Kind {
        Fields,
        SeveralLines,
        TooManyFields,
    };
    Kind kind = Kind::Fields;
    QStringList fields;

    // room: the cells from the current one to the row's end.
    static RowPaste of(const QString &text, int room);
    // What the user is told of a refusal; empty for Fields.
    QString refusal(int room) const;
};
