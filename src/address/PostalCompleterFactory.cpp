#include "address/PostalCompleterFactory.h"

#include "address/PostalCompleter.h"
#include "address/PostalDirectoryLoader.h"

#include <QCoreApplication>
#include <future>
#include <mutex>

struct PostalCompleterFactory::Shared {
    std::function<void(const QString &)> status;
    const FileSystem *files = nullptr;
    QString shippedPath;
    QString userFolder;
    std::once_flag started;
    std::shared_future<PostalLoadResult> loading;
    bool reported = false; // touched only by the thread that completes records

    const PostalLoadResult &get()
    {
        const PostalLoadResult &result = loading.get();
        if (!reported) {
            reported = true;
            if (status)
                for (const QString &message : result.messages)
                    status(message);
        }
        return result;
    }
};

PostalCompleterFactory::PostalCompleterFactory(CandidateChooser &chooser,
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

PostalCompleterFactory::~PostalCompleterFactory() = default;

std::unique_ptr<AddressCompleter> PostalCompleterFactory::createCompleter()
{
    std::shared_ptr<Shared> shared = m_shared;
    std::call_once(shared->started, [&shared] {
        shared->loading = std::async(std::launch::async, [files = shared->files, path = shared->shippedPath,
                                                          folder = shared->userFolder] {
                              return PostalDirectoryLoader::load(*files, path, folder);
                          }).share();
    });
    return std::make_unique<PostalCompleter>([shared]() -> const PostalLoadResult & { return shared->get(); },
                                             m_chooser);
}

QString PostalCompleterFactory::defaultDataPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/data/postal.idx");
}
