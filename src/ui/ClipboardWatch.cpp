#include "ui/ClipboardWatch.h"

#include "platform/ClipboardSource.h"

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
    if (!m_on || !m_source.hasText())
        return;
    // A clipboard that cannot be read right now drops this notice; the next change comes anew.
    if (const auto text = m_source.text())
        m_onCopiedText(*text);
}
