#include "address/BackgroundPostalLoader.h"

#include "address/PostalCompleter.h"
#include "address/PostalDirectoryLoader.h"
#include "core/BackgroundWork.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QPointer>

using namespace Qt::Literals::StringLiterals;

const QString BackgroundPostalLoader::kLoading = u"郵便番号データを読み込んでいます…"_s;
const QString BackgroundPostalLoader::kLoadFailed = u"郵便番号データを読み込めませんでした"_s;

struct BackgroundPostalLoader::Shared {
    std::function<void(const QString &)> status;
    const FileSystem *files = nullptr;
    QString shippedPath;
    QString userFolder;
    QFuture<PostalLoadResult> loading;
    // Copied out of the future once, on the loader's thread, for the completers to point into.
    std::optional<PostalLoadResult> loaded;
    bool reported = false;
    // On the loader's thread: hears the loading's end there.
    QFutureWatcher<PostalLoadResult> watcher;

    ~Shared() { loading.waitForFinished(); }

    void start()
    {
        if (loading.isValid())
            return;
        loading = runInBackground<PostalLoadResult>(
            [files = files, shipped = shippedPath, folder = userFolder](QPromise<PostalLoadResult> &promise) {
                promise.addResult(PostalDirectoryLoader::load(*files, shipped, folder));
            });
        // What is wrong with the data is told as soon as it is known, not at the first search.
        QObject::connect(&watcher, &QFutureWatcherBase::finished, [this] { result(); });
        watcher.setFuture(loading);
    }

    bool isReady() const { return loading.isValid() && loading.isFinished(); }

    // Null when the loading failed. Waits for it to finish.
    const PostalLoadResult *result()
    {
        loading.waitForFinished();
        if (!loaded && loading.resultCount() > 0)
            loaded = loading.result();
        if (!reported) {
            reported = true;
            const QStringList messages = loaded ? loaded->messages : QStringList{kLoadFailed};
            if (status)
                for (const QString &message : messages)
                    status(message);
        }
        return loaded ? &*loaded : nullptr;
    }
};

BackgroundPostalLoader::BackgroundPostalLoader(std::function<void(const QString &)> status,
                                               const FileSystem &files, QString shippedDataPath,
                                               QString userFolder)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->status = std::move(status);
    m_shared->files = &files;
    m_shared->shippedPath = std::move(shippedDataPath);
    m_shared->userFolder = std::move(userFolder);
}

BackgroundPostalLoader::~BackgroundPostalLoader() = default;

std::unique_ptr<AddressCompleter> BackgroundPostalLoader::createCompleter()
{
    m_shared->start();
    return std::make_unique<PostalCompleter>([shared = m_shared] { return shared->result(); });
}

bool BackgroundPostalLoader::isReady() const
{
    return m_shared->isReady();
}

void BackgroundPostalLoader::whenReady(QObject *context, std::function<void()> ready)
{
    m_shared->start();
    // A watcher of the context's own hears the end there (at once, if it has come), and goes with it.
    auto *watcher = new QFutureWatcher<PostalLoadResult>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, ready = std::move(ready)] {
        watcher->deleteLater();
        ready();
    });
    watcher->setFuture(m_shared->loading);
}

QString BackgroundPostalLoader::dataDate() const
{
    if (!m_shared->isReady())
        return {};
    const PostalLoadResult *loaded = m_shared->result();
    return loaded ? loaded->directory->date() : QString();
}

QFuture<PostalLoadResult> BackgroundPostalLoader::data()
{
    m_shared->start();
    return m_shared->loading;
}

void BackgroundPostalLoader::reload()
{
    auto fresh = std::make_shared<Shared>();
    fresh->status = m_shared->status;
    fresh->files = m_shared->files;
    fresh->shippedPath = m_shared->shippedPath;
    fresh->userFolder = m_shared->userFolder;
    m_shared = std::move(fresh);
    m_shared->start();
}

QString BackgroundPostalLoader::defaultDataPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/data/postal.idx");
}
