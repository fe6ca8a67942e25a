#include "lists/ListRunner.h"

#include "lists/ListSummary.h"

#include "platform/FileReplacePatience.h"

#include <chrono>

ListRunner::ListRunner(std::shared_future<PostalLoadResult> data, const Cp932Codec &codec)
    : m_data(std::move(data)), m_files(codec, ReplaceRetry(fileReplacePatienceMs()))
{
}

bool ListRunner::isReady() const
{
    return m_data.valid() && m_data.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

ListCompletion::Report ListRunner::run(const ListCompletion::Request &request,
                                       const ListCompletion::Progress &progress,
                                       const std::atomic<bool> *cancel) const
{
    ListCompletion::Report report;
    if (!m_data.valid()) {
        report.error = ListSummary::kNoData;
        return report;
    }
    // Polled rather than waited on whole: the user's own data may take seconds, and a cancel meanwhile
    // must be heard.
    while (m_data.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        if (cancel && cancel->load()) {
            report.outcome = ListCompletion::Outcome::Cancelled;
            return report;
        }
    }
    const PostalDirectory *directory = nullptr;
    try {
        directory = m_data.get().directory.get();
    } catch (const std::exception &) {
        // A loading that failed leaves no directory: said below as for an empty one.
    }
    if (!directory || directory->entryCount() == 0) {
        report.error = ListSummary::kNoData;
        return report;
    }
    return ListCompletion(*directory, m_files).run(request, progress, cancel);
}
