#pragma once

#include "address/PostalLoadResult.h"
#include "core/AddressCompleter.h"

#include <QFuture>
#include <QString>
#include <functional>
#include <memory>

class FileSystem;

// Loads the postal-code directory on a background thread and hands out the completers that search it.
// Loading starts with the first completer (or whenReady() or data()), so the window opens at once;
// whenReady() hears of its end on the thread that made the loader.
class BackgroundPostalLoader : public AddressCompleterFactory {
public:
    // status receives, once per loader, a text for each file that could not be used (or that the data
    // could not be loaded at all): on the loader's thread as soon as the data has loaded, or at the
    // first completion if that comes first. userFolder may hold Japan Post's own files. files must
    // outlive the loader and every completer it made.
    BackgroundPostalLoader(std::function<void(const QString &)> status, const FileSystem &files,
                           QString shippedDataPath, QString userFolder);
    // Waits for a loading still running: it reads files and paths the loader was given.
    ~BackgroundPostalLoader() override;

    std::unique_ptr<AddressCompleter> createCompleter() override;
    bool isReady() const override;
    void whenReady(QObject *context, std::function<void()> ready) override;
    // The date the loaded index records: the shipped data's, or that of the user's towns file.
    QString dataDate() const override;
    // The directory as it will be loaded, for work on other threads; finished without a result when
    // the loading failed.
    QFuture<PostalLoadResult> data();
    // Loads the data anew (the user's files have changed) for the completers made from now on; those
    // made before keep the data they had.
    void reload();

    // data/postal.idx beside the executable, where the build and the installation put it.
    static QString defaultDataPath();
    // Said while the data loads, for whatever waits for it.
    static const QString kLoading;
    // Said when the loading itself failed, not one of its files.
    static const QString kLoadFailed;

private:
    struct Shared;

    std::shared_ptr<Shared> m_shared;
};
