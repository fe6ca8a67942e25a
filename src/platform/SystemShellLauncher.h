#pragma once

#include "platform/ShellLauncher.h"

class MessageSink;

// The user's default handlers: the shell's open and explore verbs on Windows, the desktop's URL
// handler elsewhere. On Windows a failure the shell names (no such file, no program for the file's
// type) is told to the user through messages, when given.
class SystemShellLauncher : public ShellLauncher {
public:
    explicit SystemShellLauncher(MessageSink *messages = nullptr) : m_messages(messages) {}
    bool openShortcut(const QString &shortcutPath, const QString &target, qintptr ownerWindow) override;
    bool open(const QString &target, qintptr ownerWindow) override;
    bool explore(const QString &folder, qintptr ownerWindow) override;

private:
    [[maybe_unused]] MessageSink *m_messages;
};
