#include "core/LeadingNumber.h"

#include <QByteArray>
#include <cmath>
#include <string>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Position of the next character that is not a blank, from i on.
qsizetype skipBlanks(const QString &t, qsizetype i)
{
    while (i < t.size() && isBlank(t[i]))
        ++i;
    return i;
}

double readRadix(const QString &t, qsizetype i, int radix)
{
    double value = 0;
    for (i = skipBlanks(t, i); i < t.size(); i = skipBlanks(t, i + 1)) {
        const char16_t c = QChar(t[i]).toLower().unicode();
        int d = -1;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        if (d < 0 || d >= radix)
            break;
        value = value * radix + d;
    }
    return value;
}

} // namespace

double readLeadingNumber(const QString &t)
{
    qsizetype i = skipBlanks(t, 0);
    if (i + 1 < t.size() && t[i] == u'&') {
        const QChar kind = t[i + 1].toUpper();
        if (kind == u'H')
            return readRadix(t, i + 2, 16);
        if (kind == u'O')
            return readRadix(t, i + 2, 8);
    }
    // Collect the characters that form the number, blanks dropped, then convert them in one go; the
    // collection already guarantees the form, so the conversion only does the exact decimal rounding.
    std::string number;
    auto digitsFrom = [&](qsizetype j) {
        qsizetype count = 0;
        for (j = skipBlanks(t, j); j < t.size() && t[j] >= u'0' && t[j] <= u'9'; j = skipBlanks(t, j + 1)) {
            number += char(t[j].unicode());
            ++count;
            i = j + 1;
        }
        return count;
    };
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        number += char(t[i].unicode());
        ++i;
    }
    qsizetype mantissaDigits = digitsFrom(i);
    qsizetype j = skipBlanks(t, i);
    if (j < t.size() && t[j] == u'.') {
        number += '.';
        i = j + 1;
        mantissaDigits += digitsFrom(i);
    }
    if (mantissaDigits == 0)
        return 0;
    j = skipBlanks(t, i);
    if (j < t.size() && (t[j] == u'E' || t[j] == u'e')) {
        // The exponent counts only when digits follow; "12e" reads as 12.
        const std::string mantissa = number;
        const qsizetype before = i;
        number += 'e';
        qsizetype k = skipBlanks(t, j + 1);
        if (k < t.size() && (t[k] == u'-' || t[k] == u'+')) {
            number += char(t[k].unicode());
            ++k;
        }
        if (digitsFrom(k) == 0) {
            number = mantissa;
            i = before;
        }
    }
    // QByteArray's conversion ignores the process locale: "." is the decimal point everywhere.
    bool ok = false;
    const double value = QByteArray::fromStdString(number).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}
