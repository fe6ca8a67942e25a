#pragma once

#include "shell/ShellLauncher.h"

// The user's default handlers: the shell's open and explore verbs on Windows, the desktop's URL
// handler elsewhere.
class PlatformShellLauncher : public ShellLauncher {
public:
    bool openShortcut(const QString &shortcutPath, const QString &target, qintptr ownerWnd) override;
    bool open(const QString &target, qintptr ownerWnd) override;
    bool explore(const QString &folder, qintptr ownerWnd) override;
};
