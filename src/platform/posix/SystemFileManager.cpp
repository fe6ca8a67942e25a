#include "platform/SystemFileManager.h"

#include "platform/posix/XdgOpen.h"

#include <QFileInfo>
#include <QUrl>

bool SystemFileManager::showFile(const QString &filePath, qintptr)
{
    // The freedesktop way to select the file needs D-Bus and a file manager that offers it; the folder
    // alone opens everywhere.
    return XdgOpen::open(QUrl::fromLocalFile(QFileInfo(filePath).absolutePath()), m_messages);
}

bool SystemFileManager::openDocument(const QUrl &url)
{
    return XdgOpen::open(url, m_messages);
}
