#include "platform/SystemProgramPathRecord.h"

#include <QSettings>

void SystemProgramPathRecord::remember(const QString &programName, const QString &path)
{
    QSettings record(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\NorvaneTools\\Path"),
        QSettings::NativeFormat);
    // Windows paths differ in letter case only in how they were typed.
    if (record.value(programName).toString().compare(path, Qt::CaseInsensitive) != 0)
        record.setValue(programName, path);
}
