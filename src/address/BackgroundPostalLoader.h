#pragma once

#include "address/CandidateChooser.h"
#include "address/PostalLoadResult.h"
#include "core/AddressCompleter.h"

#include <QString>
#include <functional>
#include <future>
#include <memory>

class FileSystem;

// Loads the postal-code directory on a background thread and hands out the completers that search it.
// Loading starts with the first completer (or whenReady()), so the window opens at once; whenReady()
// hears of its end on the thread that made the loader.
class BackgroundPostalLoader : public AddressCompleterFactory {
public:
    // status receives, once per loader, a text for each file that could not be used: on the loader's
    // thread as soon as the data has loaded, or at the first completion if that comes first (records
    // are completed on the loader's thread). userFolder may hold Japan Post's own files. files must
    // outlive the loader and every completer it made.
    BackgroundPostalLoader(CandidateChooser &chooser, std::function<void(const QString &)> status,
                           const FileSystem &files, QString shippedDataPath, QString userFolder);
    ~BackgroundPostalLoader() override;

    std::unique_ptr<AddressCompleter> createCompleter() override;
    bool isReady() const override;
    // Starts the loading too, if no completer has yet.
    void whenReady(QObject *context, std::function<void()> ready) override;
    // The date the loaded index records: the shipped data's, or that of the user's towns file.
    QString dataDate() const override;
    // The directory as it will be loaded, for work on other threads: each thread waits on its own copy.
    // Starts the loading too, if no completer has yet.
    std::shared_future<PostalLoadResult> data();

    // data/postal.idx beside the executable, where the build and the installation put it.
    static QString defaultDataPath();

private:
    struct Shared;

    CandidateChooser &m_chooser;
    std::shared_ptr<Shared> m_shared;
};
