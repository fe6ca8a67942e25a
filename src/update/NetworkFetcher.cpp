#include "update/NetworkFetcher.h"

#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QTimer>

namespace {

using Failure = Fetcher::Failure;

constexpr int kTransferTimeoutMs = 60000;

bool isHttps(const QUrl &url)
{
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

Failure failureOf(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::NoError:
        return Failure::None;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    // Without a cancel of ours, the transfer's timeout.
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
        return Failure::NoConnection;
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return Failure::ProxyPassword;
    case QNetworkReply::SslHandshakeFailedError:
        return Failure::Certificate;
    case QNetworkReply::ContentNotFoundError:
    case QNetworkReply::ContentGoneError:
        return Failure::NotFound;
    case QNetworkReply::RemoteHostClosedError:
        return Failure::Cut;
    default:
        return Failure::Other;
    }
}

// Why a certificate was refused, in the user's words; Qt's own are English.
QString reasonOf(const QSslError &error)
{
    using namespace Qt::Literals::StringLiterals;
    switch (error.error()) {
    case QSslError::CertificateExpired:
        return u"証明書の期限が切れています"_s;
    case QSslError::CertificateNotYetValid:
        return u"証明書がまだ有効になっていません"_s;
    case QSslError::HostNameMismatch:
        return u"証明書が別のサーバーのものです"_s;
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
        return u"証明書の発行元を信頼できません"_s;
    default:
        return u"証明書を検証できません"_s;
    }
}

} // namespace

NetworkFetcher::NetworkFetcher(QObject *parent) : Fetcher(parent)
{
    // An office network's proxy, as the system is set to use it.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}

void NetworkFetcher::fetch(const QUrl &url, qint64 maxBytes)
{
    m_maxBytes = maxBytes;
    m_abortedFor = Failure::None;
    if (!isHttps(url)) {
        QTimer::singleShot(0, this, [this, url] { end(Failure::InsecureRedirect, url.toString()); });
        return;
    }
    QNetworkRequest request(url);
    // Each redirect is looked at before it is followed: never from HTTPS down to plain HTTP.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setTransferTimeout(kTransferTimeoutMs);
    m_reply = m_network.get(request);
    QNetworkReply *reply = m_reply;
    connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl &to) {
        if (isHttps(to))
            return emit reply->redirectAllowed();
        m_abortedFor = Failure::InsecureRedirect;
        reply->setProperty("detail", to.toString());
        reply->abort();
    });
    connect(reply, &QNetworkReply::sslErrors, this, [reply](const QList<QSslError> &errors) {
        // Not ignored: the handshake fails, and the first reason is told.
        if (!errors.isEmpty())
            reply->setProperty("detail", reasonOf(errors.front()));
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64 total) {
        if (received > m_maxBytes || total > m_maxBytes) {
            m_abortedFor = Failure::TooLarge;
            reply->abort();
            return;
        }
        emit progress(received, total);
    });
    connect(reply, &QNetworkReply::finished, this, &NetworkFetcher::replyFinished);
}

void NetworkFetcher::cancel()
{
    if (!m_reply)
        return;
    m_abortedFor = Failure::Cancelled;
    m_reply->abort();
}

void NetworkFetcher::replyFinished()
{
    QNetworkReply *reply = m_reply;
    reply->deleteLater();
    const QString detail = reply->property("detail").toString();
    if (m_abortedFor != Failure::None)
        return end(m_abortedFor, detail);
    if (const Failure failure = failureOf(reply->error()); failure != Failure::None) {
        // Qt's own words are English: the status or the error's number instead.
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        return end(failure, !detail.isEmpty()  ? detail
                            : status.isValid() ? QStringLiteral("HTTP %1").arg(status.toInt())
                                               : QStringLiteral("%1").arg(int(reply->error())));
    }
    Result result;
    result.bytes = reply->readAll();
    // A connection closed early may end the reply without an error: the length it announced tells.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() != result.bytes.size())
        return end(Failure::Cut);
    if (result.bytes.size() > m_maxBytes)
        return end(Failure::TooLarge);
    emit finished(result);
}

void NetworkFetcher::end(Failure failure, const QString &detail)
{
    emit finished(Result{failure, {}, detail});
}
