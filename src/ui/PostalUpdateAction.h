#pragma once

#include "ui/PostalUpdateSetup.h"

#include <QObject>
#include <QPointer>
#include <memory>

class Fetcher;
class MessageSink;
class PostalUpdate;
class QProgressDialog;
class QWidget;

// The window's update of the postal data: asked, then fetched behind a progress dialog whose キャンセル
// stops it, then told in a message; the data is reloaded for later searches when the files changed.
class PostalUpdateAction : public QObject {
    Q_OBJECT
public:
    PostalUpdateAction(PostalUpdateSetup setup, MessageSink &messages, QWidget &window);
    ~PostalUpdateAction() override;

    bool isRunning() const { return m_update != nullptr; }
    void run();
    // Offers the update in place's right-click menu, where the data's date and age are told.
    void offerIn(QWidget &place);

signals:
    // After the data was replaced and the reload asked for.
    void updated();

private:
    QString question() const;
    void finish(bool installed, const QString &text);

    PostalUpdateSetup m_setup;
    MessageSink &m_messages;
    QWidget &m_window;
    std::unique_ptr<Fetcher> m_fetcher;
    std::unique_ptr<PostalUpdate> m_update;
    QPointer<QProgressDialog> m_progress;
};
