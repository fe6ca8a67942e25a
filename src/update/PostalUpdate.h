#pragma once

#include "update/Fetcher.h"
#include "update/PostalInstall.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QUrl>
#include <memory>

class QLockFile;

class FileSystem;

// Fetches Japan Post's current files of towns and businesses one after the other and, when both have
// come, checks and installs them on a worker thread (PostalInstall). Asked for by the user only.
class PostalUpdate : public QObject {
    Q_OBJECT
public:
    // Where the user can fetch the files by hand.
    static const QString kDownloadPage;
    // Neither download is larger: Japan Post's are about 2 MB.
    static constexpr qint64 kMaxDownloadBytes = 32 * 1024 * 1024;

    // The towns' and the businesses' file: Japan Post's own, or both in the folder VELMORA_POSTAL_SOURCE
    // names (a base URL, for a mirror).
    static QList<QUrl> sources();

    // fetcher and files must outlive the update.
    PostalUpdate(Fetcher &fetcher, const FileSystem &files, QString shippedPath, QString userFolder,
                 QObject *parent = nullptr);
    ~PostalUpdate() override;

    // Refused (finished, later) while another program's update of the same folder runs.
    void start();
    // Stops a download; once both files have come, the files are checked and replaced regardless, which
    // takes a moment and is whole or not at all.
    void cancel();

signals:
    // The file being fetched (its name), and how far.
    void progress(const QString &file, qint64 received, qint64 total);
    // Both files have come; they are being checked and, when sound, installed. No cancel from here on.
    void checking();
    // Once: the data replaced or not, and what to tell the user (in Japanese).
    void finished(bool installed, const QString &text);

private:
    void fetched(const Fetcher::Result &result);
    void end(bool installed, const QString &text);
    QString failureText(const Fetcher::Result &result) const;

    Fetcher &m_fetcher;
    const FileSystem &m_files;
    QString m_shippedPath;
    QString m_userFolder;
    QList<QUrl> m_sources;
    QList<QByteArray> m_downloads;
    QFutureWatcher<PostalInstall::Outcome> m_install;
    // Held from start to finish: two updates of one folder would put back each other's files.
    std::unique_ptr<QLockFile> m_lock;
};
