#pragma once

#include <QStringList>

// Asks the user to pick one of several directory answers (a code shared by several towns, or an
// address that fits several codes).
class CandidateChooser {
public:
    virtual ~CandidateChooser() = default;
    // The index of the chosen candidate, or -1 when the user cancelled.
    virtual int choose(const QStringList &candidates) = 0;
};
