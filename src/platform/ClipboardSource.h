#pragma once

#include <QString>
#include <functional>
#include <optional>

// The system clipboard: change notices, a test for text, a read of the text, and putting text on it.
class ClipboardSource {
public:
    virtual ~ClipboardSource() = default;
    // Notices of later changes go to the handler until stopNotices; a change made before the call is
    // never reported.
    virtual void startNotices(std::function<void()> onChange) = 0;
    virtual void stopNotices() = 0;
    virtual bool hasText() const = 0;
    // No value when the clipboard cannot be read (another program holds it).
    virtual std::optional<QString> text() const = 0;
    // Replaces the clipboard's content with the text; false when the clipboard refused it.
    virtual bool putText(const QString &text) = 0;
};
