#pragma once

#include <QByteArray>
#include <QByteArrayView>

// How field values are written, and the check that tells UTF-8 text from CP932.
class CsvText {
public:
    // The value as a field: in quotes, with quotes doubled, when asked to or when it holds the
    // delimiter, a quote or a line break; as it is otherwise.
    static void appendField(QByteArray &out, QByteArrayView value, char delimiter, bool quote);
    // True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
    static bool isUtf8(QByteArrayView bytes);
    static bool isAscii(QByteArrayView bytes);
};
