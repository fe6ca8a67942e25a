#include "lists/ListRunner.h"

#include "core/BackgroundWork.h"
#include "lists/ListSummary.h"

#include <atomic>

QFuture<ListCompletion::Report> ListRunner::start(const ListCompletion::Request &request) const
{
    return runInBackground<ListCompletion::Report>(
        [data = m_data, files = &m_files, request](QPromise<ListCompletion::Report> &promise) {
            // Finished already when the window starts a list; waited for otherwise.
            const std::optional<PostalLoadResult> loaded = resultOf(data);
            ListCompletion::Report report;
            if (!loaded || loaded->directory->entryCount() == 0) {
                report.error = ListSummary::kNoData;
                promise.addResult(report);
                return;
            }
            promise.setProgressRange(0, kProgressSteps);
            std::atomic<bool> cancel{false};
            const auto progress = [&promise, &cancel](qint64 done, qint64 total) {
                promise.setProgressValue(
                    int(total > 0 ? std::min<qint64>(kProgressSteps, done * kProgressSteps / total) : 0));
                cancel = promise.isCanceled();
            };
            promise.addResult(ListCompletion(*loaded->directory, *files).run(request, progress, &cancel));
        });
}

ListCompletion::Report ListRunner::reportOf(const QFuture<ListCompletion::Report> &run)
{
    ListCompletion::Report report;
    if (run.isCanceled()) {
        report.outcome = ListCompletion::Outcome::Cancelled;
        return report;
    }
    if (run.resultCount() > 0)
        return run.result();
    report.outcome = ListCompletion::Outcome::Failed;
    report.error = ListSummary::kNoData;
    return report;
}
