#include "platform/SystemSpecialFolders.h"

#include <QDir>
#include <QStandardPaths>

QString SystemSpecialFolders::path(SpecialFolder folder) const
{
    QStandardPaths::StandardLocation location = QStandardPaths::GenericConfigLocation;
    switch (folder) {
    case SpecialFolder::Documents:
        location = QStandardPaths::DocumentsLocation;
        break;
    case SpecialFolder::RoamingAppData:
        location = QStandardPaths::GenericConfigLocation;
        break;
    case SpecialFolder::Runtime:
        // Qt checks that the folder is the user's and closed to others, and gives none otherwise.
        location = QStandardPaths::RuntimeLocation;
        break;
    }
    QString path = QDir::toNativeSeparators(QStandardPaths::writableLocation(location));
    while (path.size() > 1 && path.endsWith(QDir::separator()))
        path.chop(1);
    return path;
}
