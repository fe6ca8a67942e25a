#pragma once

// The benchmarks' map service: one map page of some weight, served from 127.0.0.1 on a thread of its
// own, so that it answers while the benchmark waits on a program it started.
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <future>

// A map page of some weight: markup, a style sheet, a script that builds a grid of tiles.
inline QByteArray mapPage()
{
    QByteArray page = "<!DOCTYPE html><html lang='ja'><head><meta charset='utf-8'><title>地図</title><style>"
                      "body{margin:0;font-family:sans-serif}.t{float:left;width:64px;height:64px;"
                      "background:linear-gradient(#cde,#9bd);border:1px solid #fff}</style></head><body>"
                      "<h1>東京都千代田区千代田</h1><div id='m'></div><script>"
                      "var m=document.getElementById('m');for(var i=0;i<400;i++){var d=document."
                      "createElement('div');d.className='t';d.textContent=i;m.appendChild(d);}</script>";
    for (int i = 0; i < 200; ++i)
        page += "<p>地図の説明 " + QByteArray::number(i) + "</p>";
    return page + "</body></html>";
}

// Serves the map page for every path.
class PageServer : public QThread {
public:
    quint16 start()
    {
        QThread::start();
        return m_port.get_future().get();
    }
    ~PageServer() override
    {
        quit();
        wait();
    }

private:
    void run() override
    {
        QTcpServer server;
        const QByteArray body = mapPage();
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, body] {
                    if (!socket->readAll().contains("\r\n\r\n"))
                        return; // the whole head fits in one read for the engine's requests
                    socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                                  "Content-Length: " +
                                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_port.set_value(server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0);
        exec();
    }

    std::promise<quint16> m_port;
};
