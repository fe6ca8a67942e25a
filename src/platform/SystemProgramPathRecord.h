#pragma once

#include "platform/ProgramPathRecord.h"

// The record under "NorvaneTools", section "Path": on Windows the registry key where earlier versions
// of the tool kept it (HKEY_CURRENT_USER\Software\VB and VBA Program Settings\NorvaneTools\Path);
// elsewhere the user's configuration folder (NorvaneTools/Path.conf).
class SystemProgramPathRecord : public ProgramPathRecord {
public:
    void remember(const QString &programName, const QString &path) override;
};
