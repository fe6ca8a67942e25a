#pragma once

#include "settings/SpecialFolders.h"

// The real special folders: the shell's folder look-up on Windows; elsewhere the XDG locations
// (26 the configuration folder, 5 Documents, 9 the user's applications folder).
class PlatformSpecialFolders : public SpecialFolders {
public:
    QString path(int id, qintptr ownerWnd) override;
};
