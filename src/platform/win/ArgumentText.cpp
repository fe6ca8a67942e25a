#include "platform/ArgumentText.h"

#include <windows.h>

QString argumentText()
{
    const QString line = QString::fromWCharArray(GetCommandLineW());
    qsizetype i = 0;
    // The program's name, quoted or not, then the blanks that separate it from the arguments.
    if (i < line.size() && line[i] == u'"') {
        i = line.indexOf(u'"', 1);
        i = i < 0 ? line.size() : i + 1;
    } else {
        while (i < line.size() && line[i] != u' ' && line[i] != u'\t')
            ++i;
    }
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    return line.mid(i);
}
