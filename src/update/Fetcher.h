#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

// One file fetched from a server, reporting its progress and end through signals; the network itself
// sits behind this so that what is done with a download can be tried without one.
class Fetcher : public QObject {
    Q_OBJECT
public:
    enum class Failure {
        None,
        NoConnection,
        ProxyPassword,
        Certificate,
        NotFound,
        InsecureRedirect,
        TooLarge,
        Cut,
        Cancelled,
        Other
    };
    struct Result {
        Failure failure = Failure::None;
        QByteArray bytes;
        // The server's own words where no failure above fits.
        QString detail;
    };

    using QObject::QObject;
    // At most maxBytes are taken; a larger file fails. finished() comes once, later, never from here.
    virtual void fetch(const QUrl &url, qint64 maxBytes) = 0;
    // Ends the fetch running, which finishes as Cancelled.
    virtual void cancel() = 0;

signals:
    // total is -1 while the server has not said it.
    void progress(qint64 received, qint64 total);
    void finished(const Fetcher::Result &result);
};
