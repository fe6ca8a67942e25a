#include "platform/ShellActions.h"

#include "core/FileSystem.h"
#include "core/MessageSink.h"
#include "platform/ShellLauncher.h"
#include "platform/ShortcutWriter.h"
#include "platform/SpecialFolders.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

ShellActions::ShellActions(const Services &services, ProgramIdentity program, QString userDataFolder,
                           QString helpBase)
    : m_services(services), m_program(std::move(program)), m_userDataFolder(std::move(userDataFolder)),
      m_helpBase(std::move(helpBase))
{
}

QString ShellActions::helpPageFileName(const QString &pageName)
{
    QString page = pageName.toLower();
    if (!page.contains(u'.'))
        page += u".htm"_s;
    return page;
}

QString ShellActions::helpBase() const
{
    QString base = qEnvironmentVariable("VELMORA_HELP_BASE");
    if (base.isEmpty())
        base = m_helpBase;
    if (!base.isEmpty() && !base.endsWith(u'/'))
        base += u'/';
    return base;
}

bool ShellActions::openThroughShortcut(const QString &shortcutPath, const QString &target,
                                       qintptr ownerWindow) const
{
    // Without a user data folder the shortcut would land in whatever the current folder is.
    if (!m_services.launcher || !m_services.shortcuts || m_userDataFolder.isEmpty())
        return false;
    if (!m_services.shortcuts->write(shortcutPath, target))
        return false;
    return m_services.launcher->openShortcut(shortcutPath, target, ownerWindow);
}

bool ShellActions::openHelp(const QString &pageName, qintptr ownerWindow) const
{
    if (!m_services.shortcuts)
        return false;
    const QString target = helpBase() + helpPageFileName(pageName);
    const QString shortcut =
        m_userDataFolder + m_program.name() + u"_help"_s + m_services.shortcuts->fileSuffix(target);
    return openThroughShortcut(shortcut, target, ownerWindow);
}

bool ShellActions::openPage(const QString &target, qintptr ownerWindow) const
{
    if (!m_services.shortcuts)
        return false;
    // The Wrk folder is the caller's to create; without it the write fails and nothing opens.
    const QString shortcut = m_userDataFolder + u"Wrk"_s + QDir::separator() + u"htm_view"_s +
                             m_services.shortcuts->fileSuffix(target);
    return openThroughShortcut(shortcut, target, ownerWindow);
}

void ShellActions::writeSendToShortcut() const
{
    const QString sendTo = m_services.folders ? m_services.folders->path(SpecialFolder::SendTo) : QString();
    if (sendTo.isEmpty() || !m_services.shortcuts)
        return;
    const QString programPath = m_program.linkedPath();
    const QString shortcut =
        sendTo + QDir::separator() + m_program.name() + m_services.shortcuts->fileSuffix(programPath);
    if (!m_services.shortcuts->write(shortcut, programPath))
        return;
    if (m_services.messages)
        m_services.messages->show(programPath + u" のｼｮｰﾄｶｯﾄを "_s + sendTo + u" に作成しました"_s);
}

void ShellActions::showFolder(const QString &folder, FolderView view, qintptr ownerWindow) const
{
    if (folder.isEmpty() || !m_services.launcher)
        return;
    if (view == FolderView::Open)
        m_services.launcher->open(folder, ownerWindow);
    else if (m_services.files && m_services.files->folderExists(folder))
        m_services.launcher->explore(folder, ownerWindow);
}
