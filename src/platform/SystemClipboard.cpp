#include "platform/SystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

SystemClipboard::~SystemClipboard()
{
    stopNotices();
}

void SystemClipboard::startNotices(std::function<void()> onChange)
{
    stopNotices();
    m_connection = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                                    QGuiApplication::clipboard(), std::move(onChange));
}

void SystemClipboard::stopNotices()
{
    QObject::disconnect(m_connection);
    m_connection = {};
}

bool SystemClipboard::hasText() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

std::optional<QString> SystemClipboard::text() const
{
    // Qt answers no data when the owner does not answer in time.
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return std::nullopt;
    return data->text();
}

bool SystemClipboard::putText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
    // Read back: on some platforms another program may hold the clipboard and the set is lost.
    return clipboard->text() == text;
}
