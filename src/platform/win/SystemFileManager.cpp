#include "platform/SystemFileManager.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include <windows.h>

#include <shlobj.h>

bool SystemFileManager::showFile(const QString &filePath, qintptr)
{
    // Explorer opens the folder with the file selected. The GUI thread has COM already: Qt's
    // platform plugin initialises OLE for drag and drop.
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(filePath));
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(reinterpret_cast<LPCWSTR>(native.utf16()));
    if (!item)
        return false;
    const HRESULT result = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
    ILFree(item);
    return SUCCEEDED(result);
}

bool SystemFileManager::openDocument(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
