#pragma once

#include "platform/ShellLauncher.h"

// The user's default handlers: the shell's open and explore verbs on Windows, the desktop's URL
// handler elsewhere.
class SystemShellLauncher : public ShellLauncher {
public:
    bool openShortcut(const QString &shortcutPath, const QString &target, qintptr ownerWindow) override;
    bool open(const QString &target, qintptr ownerWindow) override;
    bool explore(const QString &folder, qintptr ownerWindow) override;
};
