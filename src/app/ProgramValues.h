#pragma once

#include <QString>

// The few program-wide values the design names; everything else is passed in.
namespace Program {

// The executable's name without folder and extension, a trailing "_dv" (any case) cut off.
inline QString ExeBaseName;
// The per-user data folder, ending with the platform's separator.
inline QString UserDataFolder;
// True from the start of the main window's loading to its close request.
inline bool MainOpen = false;

QString exeBaseNameFrom(const QString &exeFilePath);

} // namespace Program
