#pragma once

#include "platform/FileManager.h"

// Explorer on Windows, with the file selected; elsewhere the desktop's handler for the folder.
class SystemFileManager : public FileManager {
public:
    bool showFile(const QString &filePath, qintptr ownerWindow) override;
    bool openDocument(const QUrl &url) override;
};
