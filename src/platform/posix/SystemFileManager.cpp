#include "platform/SystemFileManager.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool SystemFileManager::showFile(const QString &filePath, qintptr)
{
    // The freedesktop way to select the file needs D-Bus and a file manager that offers it; the folder
    // alone opens everywhere.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(filePath).absolutePath()));
}

bool SystemFileManager::openDocument(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
