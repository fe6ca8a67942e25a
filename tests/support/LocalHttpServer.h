#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTcpServer>

// A small HTTP/1.0 server on 127.0.0.1 for tests: serves fixed pages by path, 404 otherwise.
// Tests point the map service base at it; nothing ever leaves this machine.
class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    explicit LocalHttpServer(QObject *parent = nullptr);
    // On the given port, or on any free one.
    bool start(quint16 port = 0);
    // "http://127.0.0.1:<port>", no trailing slash.
    QString base() const;
    void addPage(const QString &path, const QByteArray &body,
                 const QByteArray &contentType = "text/html; charset=utf-8");
    // Paths in the order they were asked for (query included).
    const QStringList &requests() const { return m_requests; }
    // The request heads (request line and headers), in the same order.
    const QByteArrayList &heads() const { return m_heads; }

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QString, QPair<QByteArray, QByteArray>> m_pages;
    QStringList m_requests;
    QByteArrayList m_heads;
};
