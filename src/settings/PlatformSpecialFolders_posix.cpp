#include "settings/PlatformSpecialFolders.h"

#include <QDir>
#include <QStandardPaths>

QString PlatformSpecialFolders::path(int id, qintptr)
{
    QStandardPaths::StandardLocation location;
    switch (id) {
    case 5:
        location = QStandardPaths::DocumentsLocation;
        break;
    case 9:
        location = QStandardPaths::ApplicationsLocation;
        break;
    case 26:
        location = QStandardPaths::GenericConfigLocation;
        break;
    default:
        return {};
    }
    QString folder = QDir::toNativeSeparators(QStandardPaths::writableLocation(location));
    while (folder.size() > 1 && folder.endsWith(QDir::separator()))
        folder.chop(1);
    return folder;
}
