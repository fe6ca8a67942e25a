#pragma once

#include "platform/ClipboardSource.h"

// A clipboard the test drives: copy() is what another program's copy does.
class FakeClipboard : public ClipboardSource {
public:
    void startNotices(std::function<void()> onChange) override { m_onChange = std::move(onChange); }
    void stopNotices() override { m_onChange = nullptr; }
    bool hasText() const override { return content.has_value(); }
    std::optional<QString> text() const override { return held ? std::nullopt : content; }
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
    bool watching() const { return bool(m_onChange); }

    std::optional<QString> content;
    // Another program holds the clipboard: reads and writes fail.
    bool held = false;

private:
    std::function<void()> m_onChange;
};
