#pragma once

#include <QString>

// UTF-8 percent-encoding of a search text for a map query: "+" for a space; "@", letters, digits,
// "*", "-", "." and "_" as they are; everything else as "%XX" groups with upper-case hex digits.
// A surrogate pair becomes one four-byte sequence, a lone surrogate half the bytes of U+FFFD.
// For an empty text the result is left as the caller passed it.
void encodeMapQueryValue(const QString &text, QString &result);
