#pragma once

#include <QString>

// Reads the number at the start of a text the way stored settings and copied map positions are
// read: an optional sign, digits, an optional "." with more digits and an optional exponent ("E" or
// "e", an optional sign and digits). Blanks, tabs and line feeds are skipped, also inside the number.
// A leading "&H" or "&O" reads a hexadecimal or octal number. Reading stops at the first character
// that cannot continue the number; a text that starts with no number reads as 0.
double readLeadingNumber(const QString &text);
