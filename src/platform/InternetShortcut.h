#pragma once

#include <QByteArray>
#include <QUrl>

// The content of a Windows Internet shortcut (.url), the file Windows uses for a link to a web page: a
// shell link (.lnk) holds only file paths. Pure text work, built and tested on every platform.
class InternetShortcut {
public:
    // The URL fully percent-encoded, so the file is plain ASCII whatever the code page, and no line
    // break in the URL can add lines of its own.
    static QByteArray content(const QUrl &url);
};
