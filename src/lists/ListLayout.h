#pragma once

#include "lists/ListColumns.h"
#include "lists/ListRequest.h"

#include <QString>
#include <optional>

class Cp932Codec;
class CsvReader;
class QIODevice;

// How a list is written: its text, the columns to use, and how a code filled in is to be written.
struct ListLayout {
    // The first rows settle a list's encoding and the form of its codes nearly always; the whole file
    // has the last word (ListEvidence, while it is written).
    static constexpr int kGuessRows = 1000;
    static constexpr qint64 kGuessBytes = 1024 * 1024;

    char delimiter = ',';
    bool byteOrderMark = false;
    bool utf8 = false;
    ListColumns columns;
    // Fields per row, as the header (or the first row) has them.
    qsizetype fieldCount = 0;
    // Codes filled in are written "NNN-NNNN" rather than "NNNNNNN": most of the list's codes are, or
    // they are ASCII digits, which a spreadsheet would take for a number and strip the leading 0 of.
    bool hyphenated = true;

    // Reads the start of the list: its byte-order mark, delimiter and columns for good, and its encoding
    // and the form of its codes as the first rows have them (ListEvidence settles these two over all
    // rows). A file that cannot be a list gives no value, and error says why and where; fault is set
    // where that is its columns (ListColumns::find).
    static std::optional<ListLayout> guess(QIODevice &file, const QString &fileName,
                                           const ListRequest &request, const Cp932Codec &codec,
                                           QString *error, ListColumns::Fault *fault);
    // The delimiter of the list at the device's position (after any byte-order mark): the first line's
    // tabs and commas decide, a one-column file its name.
    static char delimiterOf(QIODevice &file, const QString &fileName);
    // What the reader's error is, with its line.
    static QString readerError(const CsvReader &reader);
    static QString lineError(qint64 line, const QString &text);
    // Skips a UTF-8 byte-order mark at the start of the device; true when there was one.
    static bool skipByteOrderMark(QIODevice &file);
    // The text of bytes before the list's encoding is settled: UTF-8 when they are valid as such.
    static QString textOf(QByteArrayView bytes, const Cp932Codec &codec);
    // The text of a field's bytes, in the list's encoding, added to text.
    void appendText(QByteArrayView bytes, const Cp932Codec &codec, QString &text) const;
};
