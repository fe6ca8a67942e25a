#include "clipboard/ClipWatch.h"

#include "clipboard/ClipboardSource.h"

ClipWatch::ClipWatch(ClipboardSource &source, std::function<void(const QString &)> clipEvent)
    : m_source(source), m_clipEvent(std::move(clipEvent))
{
}

ClipWatch::~ClipWatch()
{
    watch(0);
}

void ClipWatch::watch(int mode)
{
    if (mode == 1) {
        if (m_on)
            return;
        m_on = true;
        m_source.startNotices([this] { hook(); });
    } else {
        if (!m_on)
            return;
        m_on = false;
        m_source.stopNotices();
    }
}

void ClipWatch::hook()
{
    if (InHook || !m_on)
        return;
    InHook = true;
    // Whatever happens below, InHook must not stay set, or the watch would go deaf for good.
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{InHook};
    if (!m_source.hasText())
        return;
    // A clipboard that cannot be read right now drops this notice; the next change comes anew.
    const auto text = m_source.text();
    if (text)
        m_clipEvent(*text);
}
