#pragma once

#include <QString>
#include <QtGlobal>

// Hands a file, folder or URL to the user's default handler. Behind an interface so that tests
// record what would have been opened instead of starting programs.
class ShellLauncher {
public:
    virtual ~ShellLauncher() = default;
    // Opens a shortcut that was just written to point at target. On Windows the shortcut itself is
    // started; elsewhere the target is, since opening a desktop entry does not follow its link.
    virtual bool openShortcut(const QString &shortcutPath, const QString &target, qintptr ownerWindow) = 0;
    // Opens a file, folder or URL with its default handler.
    virtual bool open(const QString &target, qintptr ownerWindow) = 0;
    // Shows a folder in the file manager.
    virtual bool explore(const QString &folder, qintptr ownerWindow) = 0;
};
