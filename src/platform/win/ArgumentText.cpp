#include "platform/ArgumentText.h"

#include "platform/WindowsCommandLine.h"

#include <windows.h>

QString argumentText()
{
    return WindowsCommandLine::argumentText(QString::fromWCharArray(GetCommandLineW()));
}
