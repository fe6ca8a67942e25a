#include "support/LocalHttpServer.h"

#include <QTcpSocket>
#include <QUrl>

LocalHttpServer::LocalHttpServer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool LocalHttpServer::start(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

QString LocalHttpServer::base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

void LocalHttpServer::addPage(const QString &path, const QByteArray &body, const QByteArray &contentType)
{
    m_pages.insert(path, {body, contentType});
}

void LocalHttpServer::serve(QTcpSocket *socket)
{
    QByteArray request = socket->property("buffer").toByteArray() + socket->readAll();
    if (!request.contains("\r\n\r\n")) {
        socket->setProperty("buffer", request);
        return;
    }
    const QList<QByteArray> firstLine = request.left(request.indexOf("\r\n")).split(' ');
    const QString target = firstLine.size() > 1 ? QString::fromLatin1(firstLine[1]) : QString();
    m_requests.append(target);
    m_heads.append(request.left(request.indexOf("\r\n\r\n")));
    const QString path = QUrl(target).path();
    QByteArray response;
    if (m_pages.contains(path)) {
        const auto &[body, type] = m_pages.value(path);
        response = "HTTP/1.0 200 OK\r\nContent-Type: " + type +
                   "\r\nContent-Length: " + QByteArray::number(body.size()) +
                   "\r\nConnection: close\r\n\r\n" + body;
    } else {
        response = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    }
    socket->write(response);
    socket->disconnectFromHost();
}
