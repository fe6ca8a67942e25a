#include "shell/PlatformShellLauncher.h"

#include <windows.h>

#include <shellapi.h>

namespace {

// ShellExecute's convention: a result above 32 is success.
bool execute(const wchar_t *verb, const QString &file, qintptr ownerWnd)
{
    const QString native = file.contains(QLatin1String("://")) ? file : QString(file).replace(u'/', u'\\');
    const HINSTANCE result = ShellExecuteW(reinterpret_cast<HWND>(ownerWnd), verb,
                                           reinterpret_cast<LPCWSTR>(native.utf16()), L"", L"", SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

bool PlatformShellLauncher::openShortcut(const QString &shortcutPath, const QString &, qintptr ownerWnd)
{
    return execute(L"open", shortcutPath, ownerWnd);
}

bool PlatformShellLauncher::open(const QString &target, qintptr ownerWnd)
{
    return execute(L"open", target, ownerWnd);
}

bool PlatformShellLauncher::explore(const QString &folder, qintptr ownerWnd)
{
    return execute(L"explore", folder, ownerWnd);
}
