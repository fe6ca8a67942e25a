#pragma once

#include "platform/ShellLauncher.h"

#include <QList>

// Records the shortcuts that would have been opened instead of starting programs.
class FakeShellLauncher : public ShellLauncher {
public:
    struct Call {
        QString shortcut;
        QString target;
    };
    bool openShortcut(const QString &shortcutPath, const QString &target, qintptr) override
    {
        calls.append({shortcutPath, target});
        return true;
    }
    QList<Call> calls;
};
