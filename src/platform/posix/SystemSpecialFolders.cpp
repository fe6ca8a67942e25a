#include "platform/SystemSpecialFolders.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder that is this user's and open to no one else: nobody else can plant a file in it.
bool isPrivateFolder(const QString &path)
{
    struct stat info = {};
    return !path.isEmpty() && lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 077) == 0 &&
           access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

// The runtime folder the session names, where it is private; else one of the user's cache folder,
// made private. Never the shared temporary folder, where Qt falls back to a name anyone may take first.
QString runtimeFolder()
{
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); isPrivateFolder(runtime))
        return runtime;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache))
        return {};
    const QString own = cache + QStringLiteral("/velmora-runtime");
    mkdir(QFile::encodeName(own).constData(), 0700);
    return isPrivateFolder(own) ? own : QString();
}

} // namespace

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
        return runtimeFolder();
    }
    QString path = QDir::toNativeSeparators(QStandardPaths::writableLocation(location));
    while (path.size() > 1 && path.endsWith(QDir::separator()))
        path.chop(1);
    return path;
}
