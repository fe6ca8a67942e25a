#include "platform/SystemConsole.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
// A signal handler reaches nothing but what a static holds.
std::atomic<std::atomic<bool> *> interruptFlag{nullptr};
std::atomic<int> interruptSignal{0};

extern "C" void onInterrupt(int signal)
{
    interruptSignal.store(signal);
    if (std::atomic<bool> *flag = interruptFlag.load())
        flag->store(true);
}
} // namespace

bool SystemConsole::errorIsTerminal() const
{
    return isatty(STDERR_FILENO) == 1;
}

void SystemConsole::writeError(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void SystemConsole::cancelOnInterrupt(std::atomic<bool> *flag)
{
    interruptFlag.store(flag);
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

int SystemConsole::interruptStatus() const
{
    const int signal = interruptSignal.load();
    return signal ? 128 + signal : 0;
}
