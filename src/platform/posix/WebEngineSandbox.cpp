#include "platform/WebEngineSandbox.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdio>
#include <unistd.h>

bool prepareWebEngineSandbox()
{
    if (geteuid() != 0 || !qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        return false;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fputs("velmora: running as root, so the web engine runs without its sandbox\n", stderr);
    return true;
}
