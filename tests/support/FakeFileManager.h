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
    bool openDocument(const QUrl &url) override
    {
        shown.append(url.toString());
        return true;
    }
    QStringList shown;
};
