#include "core/MapQueryEncoder.h"

#include <array>
#include <cstring>

namespace {

// Each entry holds up to four UTF-16 units and how many of them count; writing all four at once and
// advancing by the count keeps the inner loop free of branches on the character's class.
struct Piece {
    char16_t units[4];
    unsigned length;
};

constexpr char16_t kHex[] = u"0123456789ABCDEF";

constexpr Piece percent(unsigned byte)
{
    return {{u'%', kHex[byte >> 4], kHex[byte & 0xF], 0}, 3};
}

// Which ASCII characters pass unchanged: "@" and "A"-"Z" (one range), "a"-"z", "0"-"9", "*-._".
constexpr bool keepsItself(unsigned c)
{
    return (c >= 0x40 && c <= 0x5A) || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'*' ||
           c == u'-' || c == u'.' || c == u'_';
}

constexpr std::array<Piece, 128> makeAscii()
{
    std::array<Piece, 128> table{};
    for (unsigned c = 0; c < 128; ++c) {
        if (keepsItself(c))
            table[c] = {{char16_t(c), 0, 0, 0}, 1};
        else if (c == u' ')
            table[c] = {{u'+', 0, 0, 0}, 1};
        else
            table[c] = percent(c);
    }
    return table;
}

constexpr std::array<Piece, 256> makeBytes()
{
    std::array<Piece, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        table[b] = percent(b);
    return table;
}

constexpr std::array<Piece, 128> kAscii = makeAscii();
constexpr std::array<Piece, 256> kBytes = makeBytes();

inline char16_t *put(char16_t *out, const Piece &piece)
{
    std::memcpy(out, piece.units, sizeof piece.units);
    return out + piece.length;
}

} // namespace

void encodeMapQueryValue(const QString &text, QString &result)
{
    const qsizetype n = text.size();
    if (n == 0)
        return;
    // Nine characters is the most one code unit can produce (three "%XX" groups; a surrogate pair
    // gives twelve for two units), so the buffer is sized once and cut once; the last write of four
    // units may reach three past the text's end, hence the slack.
    QString buffer(n * 9 + 3, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(buffer.data());
    char16_t *const start = out;
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *const end = in + n;
    while (in < end) {
        const char16_t c = *in++;
        if (c < 0x80) {
            out = put(out, kAscii[c]);
        } else if (c < 0x800) {
            out = put(out, kBytes[0xC0 | (c >> 6)]);
            out = put(out, kBytes[0x80 | (c & 0x3F)]);
        } else if (c >= 0xD800 && c <= 0xDBFF && in < end && *in >= 0xDC00 && *in <= 0xDFFF) {
            const char32_t cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(*in++) - 0xDC00);
            out = put(out, kBytes[0xF0 | (cp >> 18)]);
            out = put(out, kBytes[0x80 | ((cp >> 12) & 0x3F)]);
            out = put(out, kBytes[0x80 | ((cp >> 6) & 0x3F)]);
            out = put(out, kBytes[0x80 | (cp & 0x3F)]);
        } else {
            // A lone surrogate half has no UTF-8 form of its own; U+FFFD says a character was lost.
            const char16_t unit = (c >= 0xD800 && c <= 0xDFFF) ? char16_t(0xFFFD) : c;
            out = put(out, kBytes[0xE0 | (unit >> 12)]);
            out = put(out, kBytes[0x80 | ((unit >> 6) & 0x3F)]);
            out = put(out, kBytes[0x80 | (unit & 0x3F)]);
        }
    }
    buffer.truncate(out - start);
    result = std::move(buffer);
}
