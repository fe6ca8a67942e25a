#include "shell/yIniShell.h"

#include "app/FileSystem.h"
#include "app/MsgBox.h"
#include "app/ProgramValues.h"
#include "shell/ShellLauncher.h"
#include "shell/ShortcutWriter.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

yIniShell::yIniShell(const yIniServices &services, qintptr ownerWnd)
    : m_services(services), m_ownerWnd(ownerWnd)
{
}

QString yIniShell::HelpPage(const QString &pageName)
{
    QString page = pageName.toLower();
    if (!page.contains(u'.'))
        page += u".htm"_s;
    return page;
}

QString yIniShell::HelpBase() const
{
    QString base = qEnvironmentVariable("VELMORA_HELP_BASE");
    if (base.isEmpty())
        base = m_services.helpBase;
    if (!base.isEmpty() && !base.endsWith(u'/'))
        base += u'/';
    return base;
}

QVariant yIniShell::openThroughShortcut(const QString &shortcutPath, const QString &target) const
{
    // Without a user data folder the shortcut would land in whatever the current folder is.
    if (!m_services.launcher || !m_services.shortcuts || Program::UserDataFolder.isEmpty())
        return {};
    if (!m_services.shortcuts->write(shortcutPath, target))
        return {};
    return m_services.launcher->openShortcut(shortcutPath, target, m_ownerWnd);
}

QVariant yIniShell::W_Help(const QString &pageName) const
{
    if (!m_services.shortcuts)
        return {};
    const QString shortcut =
        Program::UserDataFolder + Program::ExeBaseName + u"_help"_s + m_services.shortcuts->fileSuffix();
    return openThroughShortcut(shortcut, HelpBase() + HelpPage(pageName));
}

QVariant yIniShell::W_HtmView(const QString &target) const
{
    if (!m_services.shortcuts)
        return {};
    // The Wrk folder is the caller's to create; without it the write fails and nothing opens.
    const QString shortcut = Program::UserDataFolder + u"Wrk"_s + QDir::separator() + u"htm_view"_s +
                             m_services.shortcuts->fileSuffix();
    return openThroughShortcut(shortcut, target);
}

void yIniShell::W_SendTo(const QString &sendToFolder, const QString &programPath) const
{
    if (sendToFolder.isEmpty() || !m_services.shortcuts)
        return;
    const QString shortcut =
        sendToFolder + QDir::separator() + Program::ExeBaseName + m_services.shortcuts->fileSuffix();
    if (!m_services.shortcuts->write(shortcut, programPath))
        return;
    if (m_services.msgBox)
        m_services.msgBox->show(programPath + u" のｼｮｰﾄｶｯﾄを "_s + sendToFolder + u" に作成しました"_s);
}

void yIniShell::W_ExpFd(const QString &folder, bool open) const
{
    if (folder.isEmpty() || !m_services.launcher)
        return;
    if (open)
        m_services.launcher->open(folder, m_ownerWnd);
    else if (EnsureFso().folderExists(folder))
        m_services.launcher->explore(folder, m_ownerWnd);
}
