#pragma once

#include <functional>

// How long a file replacement whose rename was refused is tried again. On Windows a virus scanner or a
// sync client that has just opened the target keeps it from being replaced for a moment; elsewhere a
// refused rename does not come right by waiting, and the patience there is none.
class ReplaceRetry {
public:
    enum class Outcome { Done, Failed, RenameRefused };
    using Sleep = std::function<void(int ms)>;

    // The default waits for real; tests pass a sleep that only counts.
    explicit ReplaceRetry(int patienceMs = 0, Sleep sleep = {});

    // Runs attempt until it is done, fails otherwise than by a refused rename, or the waits between
    // attempts have added up to the patience. True when the last attempt was done.
    bool run(const std::function<Outcome()> &attempt) const;

private:
    int m_patienceMs;
    Sleep m_sleep;
};
