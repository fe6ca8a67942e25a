#include "app/ProgramValues.h"

#include <QFileInfo>

QString Program::exeBaseNameFrom(const QString &exeFilePath)
{
    QString name = QFileInfo(exeFilePath).completeBaseName();
    // Only the last suffix is the extension: "my.tool.exe" is the program "my.tool".
    if (name.right(3).toLower() == QLatin1String("_dv"))
        name.chop(3);
    return name;
}
