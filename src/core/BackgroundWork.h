#pragma once

#include <QFuture>
#include <QPromise>
#include <QThreadPool>
#include <exception>
#include <memory>
#include <optional>
#include <utility>

// The program's one way to do work off the window's thread: work(QPromise<T> &) runs on Qt's thread
// pool, adds its result, may report progress (setProgressRange, setProgressValue) and hears a cancel
// through isCanceled(); the caller watches the future with a QFutureWatcher, or waits on it from
// another worker. What the standard library throws in there (running out of memory) is caught here
// and nowhere else: the work then ends without a result, which the caller tells as a failure.
template <typename T, typename Work> QFuture<T> runInBackground(Work work)
{
    auto promise = std::make_shared<QPromise<T>>();
    QFuture<T> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, work = std::move(work)]() mutable {
        try {
            work(*promise);
        } catch (const std::exception &) {
            // No result: the watcher hears a finished future without one.
        }
        promise->finish();
    });
    return future;
}

// The work's result once it has finished, or none when it ended without one (failed, or cancelled
// before it had one).
template <typename T> std::optional<T> resultOf(QFuture<T> future)
{
    future.waitForFinished();
    return future.resultCount() > 0 ? std::optional<T>(future.result()) : std::nullopt;
}
