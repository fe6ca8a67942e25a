#pragma once

#include "settings/yIniServices.h"

#include <QString>
#include <QVariant>

// The shell operations of yIni: each writes a shortcut in the user data folder and hands it to
// the user's default handler, or opens a folder. Every failure ends the operation quietly.
class yIniShell {
public:
    yIniShell(const yIniServices &services, qintptr ownerWnd);

    // Opens a help page through the "<ExeBaseName>_help" shortcut. The result is whether the
    // handler took it; no value when the shortcut could not be written.
    QVariant W_Help(const QString &pageName) const;
    // Opens any URL or file through the shortcut "Wrk/htm_view" in the user data folder.
    QVariant W_HtmView(const QString &target) const;
    // Puts a shortcut to programPath into the Send To folder and says so.
    void W_SendTo(const QString &sendToFolder, const QString &programPath) const;
    // Opens (open) or explores (otherwise, only when it exists) a folder.
    void W_ExpFd(const QString &folder, bool open) const;

    // A page name in lower case, with ".htm" added when it holds no "." at all.
    static QString HelpPage(const QString &pageName);
    // VELMORA_HELP_BASE when set, otherwise the installed help folder; always ending in "/".
    QString HelpBase() const;

private:
    QVariant openThroughShortcut(const QString &shortcutPath, const QString &target) const;

    const yIniServices &m_services;
    qintptr m_ownerWnd;
};
