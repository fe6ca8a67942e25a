#pragma once

#include "platform/ShellLauncher.h"

#include <QList>

// Records what would have been opened instead of starting programs.
class FakeShellLauncher : public ShellLauncher {
public:
    struct Call {
        QString verb; // "shortcut", "open" or "explore"
        QString path; // the shortcut for "shortcut", else the file or folder
        QString target;
    };
    bool openShortcut(const QString &shortcutPath, const QString &target, qintptr) override
    {
        calls.append({QStringLiteral("shortcut"), shortcutPath, target});
        return true;
    }
    bool open(const QString &target, qintptr) override
    {
        calls.append({QStringLiteral("open"), target, target});
        return true;
    }
    bool explore(const QString &folder, qintptr) override
    {
        calls.append({QStringLiteral("explore"), folder, folder});
        return true;
    }
    QList<Call> calls;
};
