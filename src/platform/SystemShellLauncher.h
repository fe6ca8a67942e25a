#pragma once

#include "platform/ShellLauncher.h"

class MessageSink;

// The user's default handlers: the shell's open verb on Windows, the desktop's opener (xdg-open)
// elsewhere. A failure either of them names (no such file, no program for the file's type, no
// opener at all) is told to the user through messages, when given.
class SystemShellLauncher : public ShellLauncher {
public:
    explicit SystemShellLauncher(MessageSink *messages = nullptr) : m_messages(messages) {}
    bool openShortcut(const QString &shortcutPath, const QString &target, qintptr ownerWindow) override;

private:
    MessageSink *m_messages;
};
