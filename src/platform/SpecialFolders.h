#pragma once

#include <QString>

enum class SpecialFolder {
    // The user's documents.
    Documents,
    // Per-user program settings (roaming application data on Windows).
    RoamingAppData,
    // The user's own folder for short-lived files, where no other user can write: the runtime folder
    // where it is the user's and private, else one in the user's cache folder (never the shared
    // temporary folder, open to all); the user's temporary folder on Windows. Empty when none is.
    Runtime,
};

// The user's special folders, behind an interface so that tests never touch the real ones.
class SpecialFolders {
public:
    virtual ~SpecialFolders() = default;
    // The folder's path in native form without a trailing separator; empty when it has none here.
    virtual QString path(SpecialFolder folder) const = 0;
};
