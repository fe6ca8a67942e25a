#include "platform/SystemShellLauncher.h"

#include "platform/ShellTarget.h"
#include "platform/posix/XdgOpen.h"

bool SystemShellLauncher::openShortcut(const QString &, const QString &target, qintptr)
{
    // Desktops open a Link entry as a text file rather than following it, so the target goes straight
    // to its handler; the entry stays for the user to reuse.
    return XdgOpen::open(ShellTarget::toUrl(target), m_messages);
}
