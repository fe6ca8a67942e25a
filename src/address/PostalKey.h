#pragma once

#include "address/PostalIndexFormat.h"

#include "address/PostalText.h"

#include <QStringView>
#include <QVarLengthArray>

// The text under which the directory finds a town, folded as addresses are compared, and its hash.
// The index file stores only the hashes: the text is made again from a town's record to confirm a
// match, so the writer and the reader must fold alike (a change here is a change of index version).
class PostalKey {
public:
    using Text = PostalText::Folded;

    static constexpr quint32 kHashBasis = 2166136261u;

    static void appendFolded(Text &out, QStringView text) { PostalText::appendFolded(out, text); }
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
    // The hash state after the code units of text, going on from state.
    static quint32 hashOn(quint32 state, QStringView text)
    {
        for (const char16_t *c = text.utf16(), *end = c + text.size(); c != end; ++c)
            state = hashStep(state, *c);
        return state;
    }
    static quint32 hashOn(quint32 state, const Text &text)
    {
        return hashOn(state, QStringView(text.constData(), text.size()));
    }
    static quint32 hash(const Text &text) { return finish(hashOn(kHashBasis, text)); }
};
