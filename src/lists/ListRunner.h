#pragma once

#include "address/PostalLoadResult.h"
#include "core/FileSystem.h"
#include "lists/ListCompletion.h"

#include <future>

class Cp932Codec;

// Completes lists against the postal-code data the address search loads in the background, for the
// window, which runs it on a thread of its own: the work waits for the data first.
class ListRunner {
public:
    // codec must outlive the runner. The output is replaced as the program's other files are, a refused
    // rename tried again for as long as the platform asks.
    ListRunner(std::shared_future<PostalLoadResult> data, const Cp932Codec &codec);

    // Whether run() goes straight to the list, the data loaded.
    bool isReady() const;
    // Blocks until the data has loaded (a cancel ends that wait too), then does the list. One call at a
    // time, on any thread; nothing else of the runner is to be used meanwhile.
    ListCompletion::Report run(const ListCompletion::Request &request,
                               const ListCompletion::Progress &progress,
                               const std::atomic<bool> *cancel) const;

private:
    std::shared_future<PostalLoadResult> m_data;
    FileSystem m_files;
};
