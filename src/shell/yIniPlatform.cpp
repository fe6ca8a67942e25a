#include "shell/yIniPlatform.h"

#include "settings/PlatformSpecialFolders.h"
#include "settings/yIni.h"
#include "shell/PlatformShellLauncher.h"
#include "shell/PlatformShortcutWriter.h"

#include <QCoreApplication>
#include <QUrl>

yIniServices yIniPlatform::Services(MsgBox &msgBox)
{
    static PlatformShellLauncher launcher;
    static PlatformSpecialFolders folders;
    static PlatformShortcutWriter shortcuts;
    yIniServices services;
    services.msgBox = &msgBox;
    services.launcher = &launcher;
    services.folders = &folders;
    services.shortcuts = &shortcuts;
    services.exePath = QCoreApplication::applicationFilePath();
    // The help page is installed beside the executable.
    services.helpBase = QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + QLatin1Char('/'))
                            .toString(QUrl::FullyEncoded);
    return services;
}

yIniServices yIni::defaultServices(MsgBox &msgBox)
{
    return yIniPlatform::Services(msgBox);
}
