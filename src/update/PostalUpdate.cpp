#include "update/PostalUpdate.h"

#include "core/BackgroundWork.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kUnchanged = u"郵便番号データは変わっていません"_s;
}

const QString PostalUpdate::kDownloadPage = u"https://www.post.japanpost.jp/zipcode/download.html"_s;

QList<QUrl> PostalUpdate::sources()
{
    QString base = qEnvironmentVariable("VELMORA_POSTAL_SOURCE");
    if (base.isEmpty())
        return {QUrl(u"https://www.post.japanpost.jp/zipcode/dl/utf/zip/utf_ken_all.zip"_s),
                QUrl(u"https://www.post.japanpost.jp/zipcode/dl/jigyosyo/zip/jigyosyo.zip"_s)};
    if (!base.endsWith(u'/'))
        base += u'/';
    return {QUrl(base + PostalInstall::kTownsFile), QUrl(base + PostalInstall::kBusinessesFile)};
}

PostalUpdate::PostalUpdate(Fetcher &fetcher, const FileSystem &files, QString shippedPath, QString userFolder,
                           QObject *parent)
    : QObject(parent), m_fetcher(fetcher), m_files(files), m_shippedPath(std::move(shippedPath)),
      m_userFolder(std::move(userFolder)), m_sources(sources())
{
    connect(&m_fetcher, &Fetcher::finished, this, &PostalUpdate::fetched);
    connect(&m_fetcher, &Fetcher::progress, this, [this](qint64 received, qint64 total) {
        emit progress(m_sources.value(m_downloads.size()).fileName(), received, total);
    });
    connect(&m_install, &QFutureWatcherBase::finished, this, [this] {
        const auto outcome = m_install.future().resultCount() > 0
                                 ? m_install.result()
                                 : PostalInstall::Outcome{false, u"更新に失敗しました"_s};
        end(outcome.installed, outcome.installed ? outcome.text : outcome.text + u"。"_s + kUnchanged);
    });
}

// The files it reads and the folder it writes are the caller's: the install is waited for.
PostalUpdate::~PostalUpdate()
{
    m_install.waitForFinished();
}

void PostalUpdate::start()
{
    m_downloads.clear();
    m_lock = std::make_unique<QLockFile>(QDir(m_userFolder).filePath(u"postal-update.lock"_s));
    // Stale only when its program is gone, however long a slow download takes.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        // Said once the caller is ready to hear it, never inside this call.
        QTimer::singleShot(0, this, [this] {
            emit finished(
                false,
                u"ほかの Velmora が郵便番号データを更新しています。終わってからもう一度お試しください。"_s +
                    kUnchanged);
        });
        return;
    }
    m_fetcher.fetch(m_sources.front(), kMaxDownloadBytes);
}

void PostalUpdate::end(bool installed, const QString &text)
{
    m_lock.reset();
    emit finished(installed, text);
}

void PostalUpdate::cancel()
{
    if (m_downloads.size() < m_sources.size())
        m_fetcher.cancel();
}

void PostalUpdate::fetched(const Fetcher::Result &result)
{
    if (result.failure != Fetcher::Failure::None)
        return end(false, failureText(result));
    m_downloads.append(result.bytes);
    if (m_downloads.size() < m_sources.size())
        return m_fetcher.fetch(m_sources[m_downloads.size()], kMaxDownloadBytes);
    const PostalInstall::Download download{m_downloads[0], m_downloads[1]};
    emit checking();
    m_install.setFuture(runInBackground<PostalInstall::Outcome>(
        [files = &m_files, shipped = m_shippedPath, folder = m_userFolder,
         download](QPromise<PostalInstall::Outcome> &promise) {
            promise.addResult(PostalInstall::run(*files, shipped, folder, download));
        }));
}

QString PostalUpdate::failureText(const Fetcher::Result &result) const
{
    using Failure = Fetcher::Failure;
    const QUrl url = m_sources.value(m_downloads.size());
    const QString file = url.fileName();
    QString why;
    switch (result.failure) {
    case Failure::Cancelled:
        return u"ダウンロードをキャンセルしました。"_s + kUnchanged;
    case Failure::NoConnection:
        why = u"%1 に接続できません（ネットワークの接続を確かめてください）"_s.arg(url.host());
        break;
    case Failure::ProxyPassword:
        why = u"プロキシがパスワードを求めています（システムのプロキシ設定を確かめてください）"_s;
        break;
    case Failure::Certificate:
        why = u"%1 の証明書を確認できないため中止しました（%2）"_s.arg(url.host(), result.detail);
        break;
    case Failure::NotFound:
        why = u"%1 が見つかりません（404）"_s.arg(url.toString());
        break;
    case Failure::InsecureRedirect:
        why = u"暗号化されていないアドレス %1 へは接続しません"_s.arg(result.detail);
        break;
    case Failure::TooLarge:
        why = u"%1 が大きすぎるため中止しました（上限 %2 MB）"_s.arg(file).arg(kMaxDownloadBytes >> 20);
        break;
    case Failure::Cut:
        why = u"%1 のダウンロードが途中で切れました"_s.arg(file);
        break;
    case Failure::Other:
    case Failure::None:
        why = u"%1 をダウンロードできませんでした（%2）"_s.arg(file, result.detail);
        break;
    }
    return why + u"。"_s + kUnchanged + u"。手作業でダウンロードするには "_s + kDownloadPage;
}
