#pragma once

#include "clipboard/ClipboardSource.h"

// A clipboard the test drives: copy() is what another program's copy does.
class FakeClipboard : public ClipboardSource {
public:
    void startNotices(std::function<void()> onChange) override
    {
        ++starts;
        m_onChange = std::move(onChange);
    }
    void stopNotices() override
    {
        ++stops;
        m_onChange = nullptr;
    }
    bool hasText() const override { return content.has_value(); }
    std::optional<QString> text() const override
    {
        if (held)
            return std::nullopt;
        return content;
    }
    bool putText(const QString &t) override
    {
        if (held)
            return false;
        copy(t);
        return true;
    }
    void copy(std::optional<QString> newContent)
    {
        content = std::move(newContent);
        if (m_onChange)
            m_onChange();
    }

    std::optional<QString> content;
    bool held = false;
    int starts = 0;
    int stops = 0;

private:
    std::function<void()> m_onChange;
};
