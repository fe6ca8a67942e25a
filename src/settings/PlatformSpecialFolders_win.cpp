#include "settings/PlatformSpecialFolders.h"

#include <windows.h>

#include <shlobj.h>

QString PlatformSpecialFolders::path(int id, qintptr ownerWnd)
{
    // The wide form and a MAX_PATH buffer: no path is cut short or lost to the ANSI code page.
    wchar_t buffer[MAX_PATH + 1] = {};
    const HRESULT hr =
        SHGetFolderPathW(reinterpret_cast<HWND>(ownerWnd), id, nullptr, SHGFP_TYPE_CURRENT, buffer);
    if (hr != S_OK)
        return {};
    return QString::fromWCharArray(buffer);
}
