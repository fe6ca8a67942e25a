#include "platform/SystemProgramPathRecord.h"

#include <QSettings>

void SystemProgramPathRecord::remember(const QString &programName, const QString &path)
{
    QSettings record(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("NorvaneTools"),
                     QStringLiteral("Path"));
    // A folder renamed only in letter case is another folder here.
    if (record.value(programName).toString() != path)
        record.setValue(programName, path);
}
