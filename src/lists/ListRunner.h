#pragma once

#include "address/PostalLoadResult.h"
#include "lists/ListCompletion.h"

#include <QFuture>

class FileSystem;

// Completes lists in the background against the postal-code data the address search loads in the
// background too, for the window: the window waits for data() to finish (watching it, never blocking)
// and then starts the list.
class ListRunner {
public:
    // files (which replaces the output as the program's other files are, a refused rename tried again)
    // must outlive the runner and every list it started.
    ListRunner(QFuture<PostalLoadResult> data, const FileSystem &files)
        : m_data(std::move(data)), m_files(files)
    {
    }

    QFuture<PostalLoadResult> data() const { return m_data; }
    // The data reloaded (after an update) for the lists started from now on; those running keep theirs.
    void setData(QFuture<PostalLoadResult> data) { m_data = std::move(data); }
    const FileSystem &files() const { return m_files; }
    // Starts a list on a worker: its progress runs from 0 to kProgressSteps, cancelling the future ends
    // it with no output. The result is the report; a cancelled run gives none (see reportOf()).
    QFuture<ListCompletion::Report> start(const ListCompletion::Request &request) const;
    // The report of a finished run, a cancel or a failure told as such.
    static ListCompletion::Report reportOf(const QFuture<ListCompletion::Report> &run);

    static constexpr int kProgressSteps = 1000;

private:
    QFuture<PostalLoadResult> m_data;
    const FileSystem &m_files;
};
