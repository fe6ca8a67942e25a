#include "platform/SystemShellLauncher.h"

#include <windows.h>

#include <shellapi.h>

namespace {

// ShellExecute's convention: a result above 32 is success.
bool execute(const wchar_t *verb, const QString &file, qintptr ownerWindow)
{
    const QString native = file.contains(QLatin1String("://")) ? file : QString(file).replace(u'/', u'\\');
    const HINSTANCE result = ShellExecuteW(reinterpret_cast<HWND>(ownerWindow), verb,
                                           reinterpret_cast<LPCWSTR>(native.utf16()), L"", L"", SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

bool SystemShellLauncher::openShortcut(const QString &shortcutPath, const QString &, qintptr ownerWindow)
{
    return execute(L"open", shortcutPath, ownerWindow);
}

bool SystemShellLauncher::open(const QString &target, qintptr ownerWindow)
{
    return execute(L"open", target, ownerWindow);
}

bool SystemShellLauncher::explore(const QString &folder, qintptr ownerWindow)
{
    return execute(L"explore", folder, ownerWindow);
}
