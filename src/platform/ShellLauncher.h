#pragma once

#include <QString>
#include <QtGlobal>

// Hands a shortcut to the user's default handler. Behind an interface so that tests record what
// would have been opened instead of starting programs.
class ShellLauncher {
public:
    virtual ~ShellLauncher() = default;
    // Opens a shortcut that was just written to point at target. On Windows the shortcut itself is
    // started; elsewhere the target is, since opening a desktop entry does not follow its link.
    virtual bool openShortcut(const QString &shortcutPath, const QString &target, qintptr ownerWindow) = 0;
};
