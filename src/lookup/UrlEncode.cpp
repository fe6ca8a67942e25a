#include "lookup/UrlEncode.h"

namespace {

constexpr char16_t kHex[] = u"0123456789ABCDEF";

// Which ASCII characters pass unchanged: "@" and "A"-"Z" (one range), "a"-"z", "0"-"9", "*-._".
constexpr bool keepsItself(char16_t c)
{
    return (c >= 0x40 && c <= 0x5A) || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'*' ||
           c == u'-' || c == u'.' || c == u'_';
}

inline char16_t *putByte(char16_t *out, unsigned byte)
{
    out[0] = u'%';
    out[1] = kHex[byte >> 4];
    out[2] = kHex[byte & 0xF];
    return out + 3;
}

} // namespace

void UrlEncode(const QString &text, QString &result)
{
    const qsizetype n = text.size();
    if (n == 0)
        return;
    // Nine characters is the most one code unit can produce (three "%XX" groups; a surrogate pair
    // gives twelve for two units), so the buffer is sized once and cut once.
    QString buffer(n * 9, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(buffer.data());
    char16_t *const start = out;
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *const end = in + n;
    while (in < end) {
        const char16_t c = *in++;
        if (c < 0x80) {
            if (keepsItself(c))
                *out++ = c;
            else if (c == u' ')
                *out++ = u'+';
            else
                out = putByte(out, c);
        } else if (c < 0x800) {
            out = putByte(out, 0xC0 | (c >> 6));
            out = putByte(out, 0x80 | (c & 0x3F));
        } else if (c >= 0xD800 && c <= 0xDBFF && in < end && *in >= 0xDC00 && *in <= 0xDFFF) {
            const char32_t cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(*in++) - 0xDC00);
            out = putByte(out, 0xF0 | (cp >> 18));
            out = putByte(out, 0x80 | ((cp >> 12) & 0x3F));
            out = putByte(out, 0x80 | ((cp >> 6) & 0x3F));
            out = putByte(out, 0x80 | (cp & 0x3F));
        } else {
            // A lone surrogate half has no UTF-8 form of its own; U+FFFD says a character was lost.
            const char16_t unit = (c >= 0xD800 && c <= 0xDFFF) ? char16_t(0xFFFD) : c;
            out = putByte(out, 0xE0 | (unit >> 12));
            out = putByte(out, 0x80 | ((unit >> 6) & 0x3F));
            out = putByte(out, 0x80 | (unit & 0x3F));
        }
    }
    buffer.truncate(out - start);
    result = std::move(buffer);
}
