#include "PostalComponentFactory.h"

#include "PostalAddressComponent.h"
#include "PostalDirectoryLoader.h"

#include <QCoreApplication>
#include <future>
#include <mutex>

struct PostalComponentFactory::Shared {
    std::function<void(const QString &)> status;
    QString shippedPath;
    std::function<QString()> userFolder;
    std::once_flag started;
    std::shared_future<PostalLoadResult> loading;
    bool reported = false; // touched only by the thread that calls PutAdd

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

PostalComponentFactory::PostalComponentFactory(CandidateChooser &chooser,
                                               std::function<void(const QString &)> status,
                                               QString shippedDataPath, std::function<QString()> userFolder)
    : m_chooser(chooser), m_shared(std::make_shared<Shared>())
{
    m_shared->status = std::move(status);
    m_shared->shippedPath = std::move(shippedDataPath);
    m_shared->userFolder = std::move(userFolder);
}

PostalComponentFactory::~PostalComponentFactory() = default;

std::unique_ptr<AddressComponent> PostalComponentFactory::create(const QString &name)
{
    if (name != u"Adrolex.cAdd")
        return nullptr;
    std::shared_ptr<Shared> shared = m_shared;
    std::call_once(shared->started, [&shared] {
        shared->loading =
            std::async(std::launch::async, [path = shared->shippedPath,
                                            folder = shared->userFolder ? shared->userFolder() : QString()] {
                return PostalDirectoryLoader::load(path, folder);
            }).share();
    });
    return std::make_unique<PostalAddressComponent>(
        [shared]() -> const PostalLoadResult & { return shared->get(); }, m_chooser);
}

QString PostalComponentFactory::defaultDataPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/data/postal.dat");
}
