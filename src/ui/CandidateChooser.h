#pragma once

#include <QStringList>
#include <optional>

// Asks the user to pick one of several directory answers (a code shared by several towns, or an
// address that fits several codes).
class CandidateChooser {
public:
    virtual ~CandidateChooser() = default;
    // The index of the chosen candidate; no value when the user cancelled.
    virtual std::optional<qsizetype> choose(const QStringList &candidates) = 0;
};
