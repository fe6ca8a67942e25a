#pragma once

#include "address/PostalDirectory.h"

#include <QStringList>

// What the directory answers to a code or an address, as the address search offers it to choose from:
// the same rules for one record (F4) and for a whole list.
struct PostalAnswers {
    // One per real choice: a code's towns that differ only by Japan Post's remarks are one choice, and
    // an address's towns of one code are one.
    PostalDirectory::Entries entries;
    // The answers are an address's; the one answer is the city's code for towns Japan Post does not list.
    bool byAddress = false;
    bool cityCodeOnly = false;

    qsizetype size() const { return entries.size(); }

    static PostalAnswers forCode(const PostalDirectory &directory, quint32 code);
    static PostalAnswers forAddress(const PostalDirectory &directory, QStringView address);

    // How each choice is shown: for a code, the address with its note and the business name or the
    // town's reading (452-0961 has sixty towns); for an address, the code, its address and note.
    QStringList labels() const;
    // The answer whose address the typed address already begins with (compared as the search
    // compares), so that it agrees with the code; -1 when none.
    qsizetype agreeingWith(QStringView typed) const;
};
