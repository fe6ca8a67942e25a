#include "core/ReplaceRetry.h"

#include <QThread>
#include <algorithm>
#include <utility>

namespace {

// Short at first, since the holder usually lets go at once; never so long that the window seems hung.
constexpr int kFirstWaitMs = 20;
constexpr int kLongestWaitMs = 250;

} // namespace

ReplaceRetry::ReplaceRetry(int patienceMs, Sleep sleep)
    : m_patienceMs(patienceMs),
      m_sleep(sleep ? std::move(sleep) : Sleep([](int ms) { QThread::msleep(ulong(ms)); }))
{
}

bool ReplaceRetry::run(const std::function<Outcome()> &attempt) const
{
    int waited = 0;
    int wait = kFirstWaitMs;
    for (;;) {
        const Outcome outcome = attempt();
        if (outcome != Outcome::RenameRefused)
            return outcome == Outcome::Done;
        if (waited >= m_patienceMs)
            return false;
        m_sleep(wait);
        waited += wait;
        wait = std::min(wait * 2, kLongestWaitMs);
    }
}
