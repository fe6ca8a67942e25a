#pragma once

#include "shell/ShellLauncher.h"

#include <QList>

// Records what would have been opened, and answers with a result the test chooses.
class FakeShellLauncher : public ShellLauncher {
public:
    struct Call {
        QString verb; // "shortcut", "open" or "explore"
        QString path; // the shortcut for "shortcut", else the file or folder
        QString target;
        qintptr owner = 0;
    };

    bool openShortcut(const QString &shortcutPath, const QString &target, qintptr ownerWnd) override
    {
        m_calls.append({QStringLiteral("shortcut"), shortcutPath, target, ownerWnd});
        return m_result;
    }
    bool open(const QString &target, qintptr ownerWnd) override
    {
        m_calls.append({QStringLiteral("open"), target, target, ownerWnd});
        return m_result;
    }
    bool explore(const QString &folder, qintptr ownerWnd) override
    {
        m_calls.append({QStringLiteral("explore"), folder, folder, ownerWnd});
        return m_result;
    }

    const QList<Call> &calls() const { return m_calls; }
    void setResult(bool result) { m_result = result; }

private:
    QList<Call> m_calls;
    bool m_result = true;
};
