#pragma once

#include "core/ProgramIdentity.h"

#include <QString>

class ShellLauncher;
class ShortcutWriter;

// What the program hands to the desktop: the help page, through a shortcut written in the user data
// folder and handed to the user's default handler. The launcher tells the user when no handler takes
// it; a shortcut that cannot be written ends the action quietly.
class ShellActions {
public:
    struct Services {
        ShellLauncher *launcher = nullptr;
        ShortcutWriter *shortcuts = nullptr;
    };

    // userDataFolder ends with the separator; helpBase is the URL of the folder holding the help
    // pages, which VELMORA_HELP_BASE, read here once, replaces when set.
    ShellActions(const Services &services, ProgramIdentity program, QString userDataFolder, QString helpBase);

    // Opens a help page through the "<program>_help" shortcut; true when a handler took it.
    bool openHelp(const QString &pageName, qintptr ownerWindow = 0) const;

    // A page name in lower case, with ".htm" added when it holds no "." at all.
    static QString helpPageFileName(const QString &pageName);
    // VELMORA_HELP_BASE when it was set, otherwise the installed help folder; always ending in "/".
    QString helpBase() const;

private:
    bool openThroughShortcut(const QString &shortcutPath, const QString &target, qintptr ownerWindow) const;

    Services m_services;
    ProgramIdentity m_program;
    QString m_userDataFolder;
    QString m_helpBase;
};
