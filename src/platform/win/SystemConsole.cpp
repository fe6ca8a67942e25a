#include "platform/SystemConsole.h"

#include <windows.h>

#include <cstdio>

namespace {
// A console control handler reaches nothing but what a static holds.
std::atomic<std::atomic<bool> *> interruptFlag{nullptr};

BOOL WINAPI onControl(DWORD)
{
    std::atomic<bool> *flag = interruptFlag.load();
    if (!flag)
        return FALSE;
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
