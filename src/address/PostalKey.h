#pragma once

#include "address/PostalIndexFormat.h"

#include <QStringView>
#include <QVarLengthArray>

// The text under which the directory finds a town, folded as addresses are compared, and its hash.
// The index file stores only the hashes: the text is made again from a town's record to confirm a
// match, so the writer and the reader must fold alike (a change here is a change of index version).
class PostalKey {
public:
    using Text = QVarLengthArray<char16_t, 128>;

    static constexpr quint32 kHashBasis = 2166136261u;

    // Appends the folded text.
    static void appendFolded(Text &out, QStringView text);
    static Text make(PostalIndexFormat::KeyKind kind, QStringView prefecture, QStringView city,
                     QStringView town);

    // FNV-1a, one step per code unit, so that the hashes of all beginnings of a text come in one pass.
    static quint32 hashStep(quint32 hash, char16_t c) { return (hash ^ c) * 16777619u; }
    // What a table is indexed with: FNV's low bits depend on the low bits alone, and a table of keys
    // that differ in one character then fills in long runs.
    static quint32 finish(quint32 hash)
    {
        hash ^= hash >> 16;
        hash *= 0x85EBCA6Bu;
        hash ^= hash >> 13;
        hash *= 0xC2B2AE35u;
        return hash ^ (hash >> 16);
    }
    static quint32 hash(const Text &text)
    {
        quint32 h = kHashBasis;
        for (char16_t c : text)
            h = hashStep(h, c);
        return finish(h);
    }
};
