#pragma once

#include <QUrl>

class MessageSink;

// Hands a URL to xdg-open, the desktop's opener, and tells the user through messages (when given) if
// it could not be started or it ended saying that nothing opens the URL. On desktops without an opener
// of their own xdg-open waits for the program it started, so it is watched rather than waited for.
class XdgOpen {
public:
    // False when xdg-open could not be started; its later answer arrives through the event loop.
    static bool open(const QUrl &url, MessageSink *messages);
};
