#pragma once

#include "platform/SpecialFolders.h"

// The real special folders: the shell's known folders on Windows; elsewhere the XDG locations (the
// configuration folder, Documents, and the user's applications folder for Send To).
class SystemSpecialFolders : public SpecialFolders {
public:
    QString path(SpecialFolder folder) const override;
};
