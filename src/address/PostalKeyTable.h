#pragma once

#include "address/PostalIndexFormat.h"

#include <vector>

// The address keys of an index file's towns, as its Slots and Postings sections hold them: each key
// (see PostalIndexFormat::KeyKind) once, with the records it leads to.
struct PostalKeyTable {
    std::vector<quint32> slotWords;
    std::vector<quint32> postingWords;

    // records in the file's order; strings as PostalIndexWriter stores them, each a length unit, then
    // the text.
    static PostalKeyTable build(const std::vector<PostalIndexFormat::Record> &records,
                                const std::vector<PostalIndexFormat::City> &cities,
                                const std::vector<char16_t> &strings);
};
