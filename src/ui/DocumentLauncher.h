#pragma once

class QUrl;

// Hands a document to the program the user's system uses for it.
class DocumentLauncher {
public:
    virtual ~DocumentLauncher() = default;
    virtual bool open(const QUrl &url) = 0;
};
