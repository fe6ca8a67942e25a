#pragma once

#include <QString>
#include <QUrl>
#include <QtGlobal>

// The desktop's file manager, behind an interface so that tests record what would have been shown
// instead of opening windows.
class FileManager {
public:
    virtual ~FileManager() = default;
    // Shows the folder that holds the file, with the file selected where the file manager can do that;
    // false when nothing could be shown.
    virtual bool showFile(const QString &filePath, qintptr ownerWindow) = 0;
    // Hands a document (a spreadsheet or letter the browser shows) to the program the user's system
    // uses for it; false when none took it.
    virtual bool openDocument(const QUrl &url) = 0;
};
