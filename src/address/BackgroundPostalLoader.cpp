#include "address/BackgroundPostalLoader.h"

#include "address/PostalCompleter.h"
#include "address/PostalDirectoryLoader.h"

#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <chrono>
#include <future>
#include <utility>

struct BackgroundPostalLoader::Shared {
    std::function<void(const QString &)> status;
    const FileSystem *files = nullptr;
    QString shippedPath;
    QString userFolder;
    std::promise<PostalLoadResult> promise;
    std::shared_future<PostalLoadResult> loading;
    bool reported = false; // touched only by the loader's thread, which completes records too
    // Lives on the loader's thread: the loader thread reaches that thread's event loop through it.
    QObject herald;
    QList<std::pair<QPointer<QObject>, std::function<void()>>> waiting; // the loader's thread only
    // Declared last so that it goes first: its end waits for the loader thread, which uses the rest.
    std::future<void> worker;

    void start()
    {
        if (worker.valid())
            return;
        loading = promise.get_future().share();
        worker = std::async(std::launch::async, [this] {
            try {
                promise.set_value(PostalDirectoryLoader::load(*files, shippedPath, userFolder));
            } catch (...) {
                promise.set_exception(std::current_exception());
            }
            QMetaObject::invokeMethod(
                &herald, [this] { announce(); }, Qt::QueuedConnection);
        });
    }

    bool isReady() const
    {
        return loading.valid() && loading.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }

    void announce()
    {
        // What is wrong with the data is told as soon as it is known, not at the first search.
        try {
            report(loading.get());
        } catch (const std::exception &) {
            // The completers meet the failure themselves.
        }
        for (auto &[context, ready] : std::exchange(waiting, {}))
            if (context)
                QMetaObject::invokeMethod(context, std::move(ready), Qt::QueuedConnection);
    }

    const PostalLoadResult &get()
    {
        const PostalLoadResult &result = loading.get();
        report(result);
        return result;
    }

    void report(const PostalLoadResult &result)
    {
        if (reported)
            return;
        reported = true;
        if (status)
            for (const QString &message : result.messages)
                status(message);
    }
};

BackgroundPostalLoader::BackgroundPostalLoader(CandidateChooser &chooser,
                                               std::function<void(const QString &)> status,
                                               const FileSystem &files, QString shippedDataPath,
                                               QString userFolder)
    : m_chooser(chooser), m_shared(std::make_shared<Shared>())
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
    return std::make_unique<PostalCompleter>(
        [shared = m_shared]() -> const PostalLoadResult & { return shared->get(); }, m_chooser);
}

bool BackgroundPostalLoader::isReady() const
{
    return m_shared->isReady();
}

void BackgroundPostalLoader::whenReady(QObject *context, std::function<void()> ready)
{
    m_shared->start();
    // Ready already, the loader thread's news may have gone out before this call: answer at once.
    if (m_shared->isReady())
        QMetaObject::invokeMethod(context, std::move(ready), Qt::QueuedConnection);
    else
        m_shared->waiting.append({context, std::move(ready)});
}

QString BackgroundPostalLoader::dataDate() const
{
    if (!m_shared->isReady())
        return {};
    try {
        return m_shared->loading.get().directory->date();
    } catch (const std::exception &) {
        return {};
    }
}

std::shared_future<PostalLoadResult> BackgroundPostalLoader::data()
{
    m_shared->start();
    return m_shared->loading;
}

QString BackgroundPostalLoader::defaultDataPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/data/postal.idx");
}
