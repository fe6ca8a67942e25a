#pragma once

#include "platform/ClipboardSource.h"

#include <QMetaObject>
#include <QObject>

// The system clipboard through Qt. Qt's change notice stands in for a clipboard-viewer chain: other
// programs that watch the clipboard keep their own notices, so there is no chain to forward.
class SystemClipboard : public ClipboardSource {
public:
    ~SystemClipboard() override;
    void startNotices(std::function<void()> onChange) override;
    void stopNotices() override;
    bool hasText() const override;
    std::optional<QString> text() const override;
    bool putText(const QString &text) override;

private:
    QMetaObject::Connection m_connection;
};
