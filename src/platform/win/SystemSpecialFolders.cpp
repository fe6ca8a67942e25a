#include "platform/SystemSpecialFolders.h"

#include <windows.h>

#include <shlobj.h>

QString SystemSpecialFolders::path(SpecialFolder folder) const
{
    int id = CSIDL_APPDATA;
    switch (folder) {
    case SpecialFolder::Documents:
        id = CSIDL_PERSONAL;
        break;
    case SpecialFolder::SendTo:
        id = CSIDL_SENDTO;
        break;
    case SpecialFolder::RoamingAppData:
        id = CSIDL_APPDATA;
        break;
    }
    // The wide form, so that no path is lost to the ANSI code page.
    wchar_t buffer[MAX_PATH + 1] = {};
    if (SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK)
        return {};
    return QString::fromWCharArray(buffer);
}
