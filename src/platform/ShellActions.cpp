#include "platform/ShellActions.h"

#include "platform/ShellLauncher.h"
#include "platform/ShortcutWriter.h"

using namespace Qt::Literals::StringLiterals;

ShellActions::ShellActions(const Services &services, ProgramIdentity program, QString userDataFolder,
                           QString helpBase)
    : m_services(services), m_program(std::move(program)), m_userDataFolder(std::move(userDataFolder)),
      m_helpBase(qEnvironmentVariable("VELMORA_HELP_BASE"))
{
    if (m_helpBase.isEmpty())
        m_helpBase = std::move(helpBase);
    if (!m_helpBase.isEmpty() && !m_helpBase.endsWith(u'/'))
        m_helpBase += u'/';
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
    return m_helpBase;
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
