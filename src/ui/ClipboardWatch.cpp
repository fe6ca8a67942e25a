#include "ui/ClipboardWatch.h"

#include "ui/ClipboardSource.h"

ClipboardWatch::ClipboardWatch(ClipboardSource &source, std::function<void(const QString &)> onCopiedText)
    : m_source(source), m_onCopiedText(std::move(onCopiedText))
{
}

ClipboardWatch::~ClipboardWatch()
{
    stop();
}

void ClipboardWatch::start()
{
    if (m_on)
        return;
    m_on = true;
    m_source.startNotices([this] { clipboardChanged(); });
}

void ClipboardWatch::stop()
{
    if (!m_on)
        return;
    m_on = false;
    m_source.stopNotices();
}

void ClipboardWatch::clipboardChanged()
{
    if (m_handling || !m_on)
        return;
    m_handling = true;
    // Whatever happens below, the flag must not stay set, or the watch would go deaf for good.
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{m_handling};
    if (!m_source.hasText())
        return;
    // A clipboard that cannot be read right now drops this notice; the next change comes anew.
    const auto text = m_source.text();
    if (text)
        m_onCopiedText(*text);
}
