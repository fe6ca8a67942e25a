#pragma once

#include "update/Fetcher.h"

#include <QNetworkAccessManager>
#include <QPointer>

class QNetworkReply;

// Fetches over HTTPS alone, with the certificates checked as the system trusts them, through the
// system's proxy, following a redirect only to another HTTPS address.
class NetworkFetcher : public Fetcher {
    Q_OBJECT
public:
    explicit NetworkFetcher(QObject *parent = nullptr);
    void fetch(const QUrl &url, qint64 maxBytes) override;
    void cancel() override;

private:
    void end(Failure failure, const QString &detail = {});
    void replyFinished();

    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    qint64 m_maxBytes = 0;
    // Why the fetch was ended from here, which the reply's own error then stands for.
    Failure m_abortedFor = Failure::None;
};
