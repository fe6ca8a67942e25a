#include "support/LocalHttpsServer.h"

#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>

bool LocalHttpsServer::start(const QSslCertificate &certificate, const QSslKey &key)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server.setSslConfiguration(configuration);
    connect(&m_server, &QSslServer::pendingConnectionAvailable, this, [this] {
        while (auto *socket = qobject_cast<QSslSocket *>(m_server.nextPendingConnection())) {
            connect(socket, &QSslSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
            serve(socket);
        }
    });
    return m_server.listen(QHostAddress::LocalHost);
}

QString LocalHttpsServer::base() const
{
    return QStringLiteral("https://127.0.0.1:%1/").arg(m_server.serverPort());
}

QByteArray LocalHttpsServer::ok(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: application/zip\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

void LocalHttpsServer::serve(QSslSocket *socket)
{
    const QByteArray request = socket->property("buffer").toByteArray() + socket->readAll();
    socket->setProperty("buffer", request);
    if (!request.contains("\r\n\r\n") || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    const QList<QByteArray> firstLine = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = firstLine.size() > 1 ? QString::fromLatin1(firstLine[1]) : QString();
    socket->write(
        m_responses.value(path, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"));
    socket->disconnectFromHost();
}
