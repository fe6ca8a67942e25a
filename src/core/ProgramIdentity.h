#pragma once

#include <QString>

// Who the running program is: its executable, and the name it goes by in folders, shortcuts and the
// path record. A development build ("velmora_dv") goes by the name of the program it stands for.
class ProgramIdentity {
public:
    explicit ProgramIdentity(const QString &executablePath);

    const QString &executablePath() const { return m_executablePath; }
    // The executable's name without folder and extension, a trailing "_dv" (any case) cut off.
    const QString &name() const { return m_name; }
    // The executable's folder in native form, ending with the separator.
    QString folder() const;
    // The program's path as it is recorded and linked: named after name(), with the executable's own
    // extension.
    QString linkedPath() const;

private:
    QString m_executablePath;
    QString m_name;
};
