#pragma once

#include <QHash>
#include <QSslServer>
#include <QString>

// An HTTPS server on 127.0.0.1 for tests, with a certificate made for the test: answers each path with
// the bytes given (status line, headers and body as they are to be sent, or cut short), then closes
// the connection; 404 for any other path.
class LocalHttpsServer : public QObject {
    Q_OBJECT
public:
    bool start(const QSslCertificate &certificate, const QSslKey &key);
    // "https://127.0.0.1:<port>/".
    QString base() const;
    void setResponse(const QString &path, const QByteArray &response) { m_responses.insert(path, response); }
    // A whole response of 200 with the body.
    static QByteArray ok(const QByteArray &body);

private:
    void serve(QSslSocket *socket);

    QSslServer m_server;
    QHash<QString, QByteArray> m_responses;
};
