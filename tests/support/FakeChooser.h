#pragma once

#include "ui/CandidateChooser.h"

// Picks the candidate the test names (none: cancels) and keeps what it was shown.
class FakeChooser : public CandidateChooser {
public:
    std::optional<qsizetype> choose(const QStringList &candidates) override
    {
        shown = candidates;
        return answer;
    }
    std::optional<qsizetype> answer;
    QStringList shown;
};
