#pragma once

#include <QString>
#include <functional>

class ClipboardSource;

// Watches the clipboard only while the map-centre prompt is open: each later clipboard change that
// offers text is handed to the main window's ClipEvent. Mode 1 switches watching on, any other
// mode off; asking for the state already held does nothing.
class ClipWatch {
public:
    ClipWatch(ClipboardSource &source, std::function<void(const QString &)> clipEvent);
    ~ClipWatch();
    ClipWatch(const ClipWatch &) = delete;
    ClipWatch &operator=(const ClipWatch &) = delete;

    void watch(int mode);
    bool isOn() const { return m_on; }

private:
    // One clipboard change notice.
    void hook();

    ClipboardSource &m_source;
    std::function<void(const QString &)> m_clipEvent;
    bool m_on = false;
    // Keeps a notice that arrives while ClipEvent still runs (it may pump events) from starting a
    // second ClipEvent.
    bool InHook = false;
};
