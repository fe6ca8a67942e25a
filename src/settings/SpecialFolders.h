#pragma once

#include <QString>
#include <QtGlobal>

// The user's special folders, by the Windows shell's folder ids (5 documents, 9 Send To,
// 26 roaming application data). Behind an interface so that tests never touch the real ones.
class SpecialFolders {
public:
    virtual ~SpecialFolders() = default;
    // The folder's path without a trailing separator; empty when the id names no folder here.
    virtual QString path(int id, qintptr ownerWnd) = 0;
};
