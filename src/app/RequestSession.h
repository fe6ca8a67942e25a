#pragma once

#include "core/RequestFile.h"
#include "core/RequestLock.h"

#include <QByteArray>
#include <QString>
#include <optional>

class FileSystem;
class MainWindow;
class MessageSink;
class SpecialFolders;

// One request from a calling program, from reading its file to writing the answer back: the file is
// read and locked (so that a second window never serves the same request), the window shows the
// request's record modally until the user accepts (F9) or cancels (F12, the close box), and the answer
// replaces the file's content only if nobody changed the file meanwhile. An answer the calling program
// could not read back as typed is not accepted: the user is told what to change and the window stays.
class RequestSession {
public:
    // Every reference must outlive the session.
    RequestSession(const FileSystem &files, const SpecialFolders &folders, MessageSink &messages);

    enum class Opened {
        // The argument names no request file: the program runs as the desk's window.
        NoRequest,
        // A request, but another window serves it or it cannot be locked; the user has been told.
        Refused,
        Ready,
    };
    Opened open(const QString &argumentText);

    // Serves the opened request in window, which it shows; returns once the user is done, the answer
    // written or the user told why not.
    void serve(MainWindow &window);

private:
    bool lock();
    std::optional<QString> answerFrom(MainWindow &window);
    void writeAnswer(const QString &answer);

    const FileSystem &m_files;
    const SpecialFolders &m_folders;
    MessageSink &m_messages;
    QString m_path;
    QByteArray m_bytes;
    std::optional<RequestFile> m_request;
    std::optional<RequestLock> m_lock;
};
