#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QVarLengthArray>

// One record of a delimited text file as it stands in the file: its bytes, where each field lies in
// them, and the line end after it, so that a record written back unchanged is the same bytes.
struct CsvRecord {
    struct Field {
        qsizetype begin = 0; // in raw, the opening quote included
        qsizetype size = 0;  // the quotes included
        bool quoted = false;
    };

    // The record without its line end; it points into the reader's buffer and lives until the reader
    // reads the next record.
    QByteArrayView raw;
    // "\r\n", "\n", or empty for a last line without one.
    QByteArrayView lineEnd;
    QVarLengthArray<Field, 32> fields;
    // The file's line the record starts on, from 1; a quoted field may hold line breaks.
    qint64 line = 0;

    qsizetype size() const { return fields.size(); }
    // The field as it is in the file, quotes and doubled quotes included.
    QByteArrayView rawField(qsizetype i) const { return raw.sliced(fields[i].begin, fields[i].size); }
    // The field's value: quotes taken off, doubled quotes made single; empty beyond the last field.
    QByteArray value(qsizetype i) const;
    // The same value without a copy where the field has no quotes to take off; a quoted one is made
    // in spare, which must outlive the view. For the rows' hot path.
    QByteArrayView value(qsizetype i, QByteArray &spare) const
    {
        if (i >= 0 && i < fields.size() && !fields[i].quoted)
            return rawField(i);
        spare = value(i);
        return spare;
    }
    // A record with no byte at all: an empty line.
    bool isEmptyLine() const { return raw.isEmpty(); }
};
