#include "core/ProgramIdentity.h"

#include <QDir>
#include <QFileInfo>

ProgramIdentity::ProgramIdentity(const QString &executablePath) : m_executablePath(executablePath)
{
    // Only the last suffix is the extension: "my.tool.exe" is the program "my.tool".
    m_name = QFileInfo(executablePath).completeBaseName();
    if (m_name.right(3).toLower() == QLatin1String("_dv"))
        m_name.chop(3);
}

QString ProgramIdentity::folder() const
{
    QString path = QDir::toNativeSeparators(QFileInfo(m_executablePath).absolutePath());
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path;
}

QString ProgramIdentity::linkedPath() const
{
    const QString suffix = QFileInfo(m_executablePath).suffix();
    return folder() + m_name + (suffix.isEmpty() ? QString() : u'.' + suffix);
}
