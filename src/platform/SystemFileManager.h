#pragma once

#include "platform/FileManager.h"

class MessageSink;

// Explorer on Windows, with the file selected; elsewhere the desktop's handler for the folder. What
// could not be shown or opened is told to the user through messages, when given.
class SystemFileManager : public FileManager {
public:
    explicit SystemFileManager(MessageSink *messages = nullptr) : m_messages(messages) {}
    bool showFile(const QString &filePath, qintptr ownerWindow) override;
    bool openDocument(const QUrl &url) override;

private:
    MessageSink *m_messages;
};
