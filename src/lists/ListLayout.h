#pragma once

#include "lists/ListColumns.h"
#include "lists/ListCompletion.h"

#include <QString>
#include <optional>

class Cp932Codec;
class CsvReader;
class QIODevice;

// What the first reading of a list learns: how its text is written, which columns to use, and how most
// of its rows write the postal code.
struct ListLayout {
    char delimiter = ',';
    bool byteOrderMark = false;
    bool utf8 = false;
    ListColumns columns;
    // Fields per row, as the header (or the first row) has them.
    qsizetype fieldCount = 0;
    // Most codes are written "NNN-NNNN" rather than "NNNNNNN".
    bool hyphenated = true;

    // Reads the whole file once; a malformed file gives no value and error says why and where.
    static std::optional<ListLayout> survey(QIODevice &file, const QString &fileName,
                                            const ListCompletion::Request &request, const Cp932Codec &codec,
                                            const std::function<bool(qint64)> &onProgress, QString *error);
    // What the reader's error is, with its line.
    static QString readerError(const CsvReader &reader);
    // Skips a UTF-8 byte-order mark at the start of the device; true when there was one.
    static bool skipByteOrderMark(QIODevice &file);
    // The text of a field's bytes, in the list's encoding, added to text.
    void appendText(QByteArrayView bytes, const Cp932Codec &codec, QString &text) const;
};
