#pragma once

#include "address/PostalEntry.h"
#include "lists/RowStatus.h"

#include <QString>
#include <optional>

class PostalDirectory;

// One row of a list against the postal-code directory, by the address search's rules:
// - an empty code is filled from the address (the city's code only is said so);
// - an empty address is filled from the code; a code shared by several towns is never guessed;
// - both given: they agree when the address begins with the code's address, or when the address
//   search gives that code; otherwise the row is a mismatch, with what the address gives.
// - a code a spreadsheet has taken for a number, its leading 0 gone ("600001", "60-0001"), is said so
//   with the full code as the candidate when that is the address's code (or a known one, the address
//   empty, which it then fills where the code has one town); it never counts as agreeing.
// Where there is not one answer, candidates lists them, the first ten and how many more.
struct RowCheck {
    RowStatus status = RowStatus::Blank;
    std::optional<quint32> fillCode;
    // The entry whose address fills an empty address; its views live as long as the directory.
    std::optional<PostalEntry> fillAddress;
    QString candidates;

    static RowCheck check(const PostalDirectory &directory, QStringView code, QStringView address);
};
