#pragma once

#include <QByteArrayView>
#include <QtGlobal>
#include <cstddef>
#include <cstring>

// The layout of a postal-code index file, as PostalIndexWriter writes it and PostalDirectory reads
// it in place, memory-mapped. Little-endian on every platform the program is built for; the header's
// byte-order mark refuses a file from any other. Change kVersion with any change to the layout, to how
// keys are folded or to what is made of Japan Post's lines: a file of another version is refused, and
// a cache of it is built anew.
namespace PostalIndexFormat {

inline constexpr char kMagic[8] = {'V', 'L', 'M', 'P', 'O', 'S', 'T', '\x1a'};
inline constexpr quint32 kVersion = 3;
inline constexpr quint32 kByteOrderMark = 0x01020304;

enum class Section : quint32 {
    Strings,  // UTF-16 code units; each string is its length in one unit, then its text; 0 is ""
    Cities,   // City
    Records,  // Record, sorted by code; a code's towns in Japan Post's order
    Extras,   // Extra: the fields that few records have
    Blocks,   // quint32[1001]: first record of each leading three digits
    Slots,    // quint32, a power of two of them: open-addressing hash of the address keys (see Slot)
    Postings, // quint32 words for a key of several records: the count, then the record indexes
    Sources,  // UTF-8 text naming the files the index was made from, for a cache to compare
    Count
};
inline constexpr std::size_t kSectionCount = std::size_t(Section::Count);

struct SectionRange {
    quint32 offset = 0;
    quint32 bytes = 0;
};

struct Header {
    char magic[8] = {};
    quint32 version = 0;
    quint32 byteOrder = 0;
    quint64 fileBytes = 0;
    quint64 checksum = 0; // of the whole file, this field counted as zero
    char date[16] = {};   // the data's date, "YYYY-MM-DD", zero-padded
    SectionRange sections[kSectionCount] = {};
};

struct City {
    quint32 name = 0; // in Strings
    quint8 prefecture = 0;
    quint8 reserved[3] = {};
};

enum RecordFlag : quint16 { Business = 1 };

struct Record {
    quint32 code = 0;
    quint16 city = 0;
    quint16 flags = 0;
    quint32 town = 0;  // in Strings
    quint32 kana = 0;  // in Strings
    quint32 extra = 0; // index in Extras + 1; 0 when street, note and business are all empty
};

struct Extra {
    quint32 street = 0; // these three in Strings
    quint32 note = 0;
    quint32 business = 0;
};

// The kinds of address key a town is found under: with or without the prefecture, and without the
// city (where the town has a name; a town of that name in several cities of the prefecture gives them
// all, to choose from).
enum class KeyKind : quint32 { PrefectureCityTown, CityTown, PrefectureTown };

// A slot holds the top bits of its key's hash, to pass over most other keys without reading them, the
// key's kind, and its one record (most keys have one) or where its records are listed in Postings.
// 0 marks a free slot, so a value is stored + 1.
namespace Slot {
// No key lies further than this from its home slot (the writer makes the table larger until none
// does), so a search gives up there: a damaged table cannot make a look-up crawl.
inline constexpr quint32 kMaxProbes = 256;
inline constexpr int kValueBits = 21;
inline constexpr quint32 kValueMask = (1u << kValueBits) - 1;
inline constexpr quint32 kOneRecord = 1u << kValueBits;
inline constexpr int kKindShift = kValueBits + 1;
inline constexpr quint32 kTagMask = 0xFF000000u;
inline constexpr quint32 make(quint32 hash, KeyKind kind, bool oneRecord, quint32 value)
{
    return (hash & kTagMask) | (quint32(kind) << kKindShift) | (oneRecord ? kOneRecord : 0) | (value + 1);
}
inline constexpr bool tagMatches(quint32 slot, quint32 hash)
{
    return ((slot ^ hash) & kTagMask) == 0;
}
inline constexpr KeyKind kind(quint32 slot)
{
    return KeyKind((slot >> kKindShift) & 3);
}
inline constexpr bool oneRecord(quint32 slot)
{
    return (slot & kOneRecord) != 0;
}
inline constexpr quint32 value(quint32 slot)
{
    return (slot & kValueMask) - 1;
}
} // namespace Slot

inline constexpr std::size_t kAlignment = 8;

// A fast 64-bit checksum: sixteen independent lanes keep the multipliers busy while memory streams
// in, so that checking a whole mapped file costs well under a millisecond.
inline quint64 checksum(QByteArrayView bytes, quint64 seed = 0)
{
    constexpr quint64 kPrime1 = 0x9E3779B185EBCA87ull;
    constexpr quint64 kPrime2 = 0xC2B2AE3D27D4EB4Full;
    constexpr std::size_t kLanes = 16;
    auto round = [](quint64 lane, quint64 word) {
        lane += word * kPrime2;
        lane = (lane << 31) | (lane >> 33);
        return lane * kPrime1;
    };
    quint64 lanes[kLanes];
    for (std::size_t i = 0; i < kLanes; ++i)
        lanes[i] = seed + kPrime1 * (i + 1);
    const char *p = bytes.data();
    std::size_t left = std::size_t(bytes.size());
    while (left >= 8 * kLanes) {
        for (quint64 &lane : lanes) {
            quint64 word;
            std::memcpy(&word, p, 8);
            lane = round(lane, word);
            p += 8;
        }
        left -= 8 * kLanes;
    }
    quint64 h = quint64(bytes.size());
    for (std::size_t i = 0; i < kLanes; ++i)
        h = round(h ^ lanes[i], lanes[(i + 1) % kLanes]);
    while (left-- > 0)
        h = round(h, quint64(quint8(*p++)));
    h ^= h >> 29;
    h *= kPrime1;
    return h ^ (h >> 32);
}

// The checksum a header records: of the header with its checksum counted as zero, and of the rest.
inline quint64 fileChecksum(Header header, QByteArrayView afterHeader)
{
    header.checksum = 0;
    return checksum(afterHeader,
                    checksum(QByteArrayView(reinterpret_cast<const char *>(&header), sizeof header)));
}

// Where the sections begin: the header's size, rounded up to the alignment.
inline constexpr std::size_t kHeaderBytes = (sizeof(Header) + kAlignment - 1) & ~(kAlignment - 1);

} // namespace PostalIndexFormat
