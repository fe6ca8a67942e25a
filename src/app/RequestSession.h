#pragma once

#include <QString>
#include <optional>

class Cp932Codec;
class MainWindow;
class MessageSink;

// One request served in the main window: the window shows the request's record modally until the user
// accepts (F9) or cancels (F12, the close box). An answer the calling program could not read back as
// typed is not accepted: the user is told what to change and the window stays open.
class RequestSession {
public:
    RequestSession(MainWindow &window, MessageSink &messages, const Cp932Codec &codec);

    // The answer to write back once the user has accepted; no value when the user cancelled.
    std::optional<QString> serve(const QString &requestText);

private:
    MainWindow &m_window;
    MessageSink &m_messages;
    const Cp932Codec &m_codec;
};
