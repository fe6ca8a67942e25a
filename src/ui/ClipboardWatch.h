#pragma once

#include <QString>
#include <functional>

class ClipboardSource;

// Watches the clipboard only while the map-centre prompt is open: each later clipboard change that
// offers text is handed on. Starting or stopping what is already in that state does nothing.
class ClipboardWatch {
public:
    ClipboardWatch(ClipboardSource &source, std::function<void(const QString &)> onCopiedText);
    ~ClipboardWatch();
    ClipboardWatch(const ClipboardWatch &) = delete;
    ClipboardWatch &operator=(const ClipboardWatch &) = delete;

    void start();
    void stop();

private:
    void clipboardChanged();

    ClipboardSource &m_source;
    std::function<void(const QString &)> m_onCopiedText;
    bool m_on = false;
};
