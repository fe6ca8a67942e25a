#include "platform/WindowsCommandLine.h"

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

QString WindowsCommandLine::argumentText(const QString &commandLine)
{
    // The C runtime's program name: a quote anywhere in it opens or closes a quoted part, and only a
    // blank outside quotes ends it.
    qsizetype i = 0;
    bool quoted = false;
    for (; i < commandLine.size() && (quoted || !isBlank(commandLine[i])); ++i) {
        if (commandLine[i] == u'"')
            quoted = !quoted;
    }
    while (i < commandLine.size() && isBlank(commandLine[i]))
        ++i;
    qsizetype end = commandLine.size();
    while (end > i && isBlank(commandLine[end - 1]))
        --end;
    if (end - i >= 2 && commandLine[i] == u'"' && commandLine[end - 1] == u'"') {
        ++i;
        --end;
    }
    return commandLine.mid(i, end - i);
}
