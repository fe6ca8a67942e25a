#pragma once

#include "core/Cp932Codec.h"

#include <array>
#include <bitset>
#include <vector>

// CP932 as Windows' code page 932 has it, from one table (data/cp932.bin, built into the program), so
// that a file reads and writes the same on every platform: byte 0x80 is U+0080, 0xA0 and 0xFD-0xFF are
// U+F8F0-U+F8F3, the user-defined rows are the private use area, and of the characters with more than
// one byte sequence each is written as Windows writes it.
class Cp932Table : public Cp932Codec {
public:
    Cp932Table();
    std::optional<QString> decode(const QByteArray &bytes) const override;
    qsizetype decodeInto(QByteArrayView bytes, char16_t *out) const override;
    bool isValid(QByteArrayView bytes) const override;
    std::optional<QByteArray> encode(const QString &text) const override;

private:
    static constexpr char16_t kNone = 0xFFFF; // neither a CP932 character nor a CP932 byte sequence
    std::vector<char16_t> m_read;             // by byte sequence, a single byte as 0x00XX
    std::vector<char16_t> m_write;            // by UTF-16 code unit
    std::vector<bool> m_lead;                 // bytes that start a two-byte sequence
    // decodeInto()'s first look at a byte, small enough to stay in the cache: the character of a single
    // byte, kLead for a byte that starts a two-byte sequence, or kNone.
    static constexpr char16_t kLead = 0xFFFE;
    std::array<char16_t, 256> m_first{};
    bool m_asciiAsIs = false; // bytes 0x00-0x7F are the same code points
    // The two-byte sequences that are characters, a bit each: an eighth of m_read, for isValid() to
    // check a large file in the cache.
    std::bitset<0x10000> m_pairs;
};
