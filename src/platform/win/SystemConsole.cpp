#include "platform/SystemConsole.h"

#include <windows.h>

#include <cstdio>

namespace {
// A console control handler reaches nothing but what a static holds.
std::atomic<std::atomic<bool> *> interruptFlag{nullptr};
std::atomic<int> interruptExit{0};

BOOL WINAPI onControl(DWORD event)
{
    std::atomic<bool> *flag = interruptFlag.load();
    if (!flag)
        return FALSE;
    // As a POSIX shell would tell them: Ctrl+C and Ctrl+Break as SIGINT, the console closed or the
    // session ending as SIGTERM.
    interruptExit.store(event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? 130 : 143);
    flag->store(true);
    return TRUE;
}
} // namespace

bool SystemConsole::errorIsTerminal() const
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void SystemConsole::writeError(const QString &text)
{
    // A console shows UTF-16 whatever its code page; a file or pipe gets the system's ANSI code page, as
    // other console programs write it.
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    if (errorIsTerminal()) {
        WriteConsoleW(handle, reinterpret_cast<const wchar_t *>(text.utf16()), DWORD(text.size()), &written,
                      nullptr);
        return;
    }
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void SystemConsole::cancelOnInterrupt(std::atomic<bool> *flag)
{
    interruptFlag.store(flag);
    SetConsoleCtrlHandler(onControl, TRUE);
}

int SystemConsole::interruptStatus() const
{
    return interruptExit.load();
}
