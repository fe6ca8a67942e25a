#pragma once

#include "lists/ListLayout.h"
#include "lists/ListRequest.h"

#include <optional>

class Cp932Codec;
struct CsvRecord;

// What a list's rows say of the two things about it that only the whole file settles: whether its text
// is CP932 or UTF-8 (or neither), and whether a code filled in is written with the hyphen: as most of
// its codes are, or because its codes are numbers a spreadsheet strips the leading 0 of.
class ListEvidence {
public:
    // layout's columns and byte-order mark apply; encoding is the one asked for, if any.
    ListEvidence(const ListLayout &layout, ListEncoding encoding, const Cp932Codec &codec);

    // One record; the header is read for its text alone.
    void take(const CsvRecord &record, bool header);
    // The layout as the records taken so far have it; no value, and error says which line, when their
    // text fits no encoding it may have.
    std::optional<ListLayout> settle(QString *error) const;

private:
    void checkEncoding(const CsvRecord &record);

    ListLayout m_layout;
    ListEncoding m_only;
    const Cp932Codec &m_codec;
    // The first line where each encoding failed, 0 while none has.
    qint64 m_notUtf8 = 0;
    qint64 m_notCp932 = 0;
    bool m_nonAscii = false;
    qint64 m_hyphens = 0;
    qint64 m_plain = 0;
    qint64 m_numbers = 0;
};
