#include "platform/FileIdentity.h"

#include <QDir>
#include <windows.h>

std::optional<FileIdentity> FileIdentity::of(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    // Opened for no access at all, so that a file another program holds open can still be told; a
    // folder needs the backup flag to be opened.
    const QString native = QDir::toNativeSeparators(path);
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(native.utf16()), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!known)
        return std::nullopt;
    return FileIdentity{quint64(info.dwVolumeSerialNumber),
                        quint64(info.nFileIndexHigh) << 32 | quint64(info.nFileIndexLow)};
}
