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
// Where there is not one answer, candidates lists them.
struct RowCheck {
    RowStatus status = RowStatus::Blank;
    std::optional<quint32> fillCode;
    // The entry whose address fills an empty address; its views live as long as the directory.
    std::optional<PostalEntry> fillAddress;
    QString candidates;

    static RowCheck check(const PostalDirectory &directory, QStringView code, QStringView address);
};
