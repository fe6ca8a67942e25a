#pragma once

#include "platform/FileManager.h"

#include <QStringList>

// Records the files that would have been shown instead of opening a file manager.
class FakeFileManager : public FileManager {
public:
    bool showFile(const QString &filePath, qintptr) override
    {
        shown.append(filePath);
        return true;
    }
    QStringList shown;
};
