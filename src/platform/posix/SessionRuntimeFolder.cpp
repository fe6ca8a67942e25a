#include "platform/SessionRuntimeFolder.h"

#include "platform/SystemSpecialFolders.h"

#include <QFile>

void prepareSessionRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    if (const QString own = SystemSpecialFolders().path(SpecialFolder::Runtime); !own.isEmpty())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(own));
}
