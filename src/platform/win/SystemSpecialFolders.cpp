#include "platform/SystemSpecialFolders.h"

#include <QDir>

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

QString SystemSpecialFolders::path(SpecialFolder folder) const
{
    // Under the user's profile: other users cannot write there.
    if (folder == SpecialFolder::Runtime)
        return QDir::toNativeSeparators(QDir::tempPath());
    const KNOWNFOLDERID *id = &FOLDERID_RoamingAppData;
    switch (folder) {
    case SpecialFolder::Documents:
        id = &FOLDERID_Documents;
        break;
    case SpecialFolder::RoamingAppData:
    case SpecialFolder::Runtime:
        id = &FOLDERID_RoamingAppData;
        break;
    }
    // The shell allocates the path at its full length; it must be freed even when the call fails.
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(*id, KF_FLAG_DEFAULT, nullptr, &path);
    const QString out = SUCCEEDED(result) && path ? QString::fromWCharArray(path) : QString();
    CoTaskMemFree(path);
    return out;
}
