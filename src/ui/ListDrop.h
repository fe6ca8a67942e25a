#pragma once

#include "address/PostalLoadResult.h"
#include "lists/ListCompletion.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <optional>

class FileManager;
class ListRunner;
class MessageSink;
class QMimeData;
class QProgressDialog;
class QUrl;
class QWidget;

// A CSV or tab-separated list dropped anywhere on the window (the grid, the map, the buttons) is
// completed and checked into a new file beside it, as velmora-complete does it: where its first row does
// not name the columns, a dialog asks for them as the console's options give them; then a progress
// dialog whose cancel leaves no output (an earlier one as it was), then what the rows came to, where
// the output is, and an offer to show it in its folder. The grid and a request being served stay as
// they are.
class ListDrop : public QObject {
    Q_OBJECT
public:
    // fileManager may be null: the summary then offers no folder.
    ListDrop(const ListRunner &runner, FileManager *fileManager, MessageSink &messages, QWidget &window);
    // A list still running is cancelled, and its end waited for: it leaves no output.
    ~ListDrop() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isOnWindow(QObject *watched) const;
    static bool carriesFiles(const QMimeData *mime);
    void take(const QList<QUrl> &urls);
    // The request with the columns the user names where the list's first row does not name them; no
    // value when the user cancelled.
    std::optional<ListCompletion::Request> withColumns(const ListCompletion::Request &request) const;
    void start(const ListCompletion::Request &request);
    void run();
    QString processingText() const;
    void end();
    void endWith(const ListCompletion::Report &report);
    static ListCompletion::Report cancelled();
    void showSummary(const ListCompletion::Report &report);

    const ListRunner &m_runner;
    FileManager *m_fileManager;
    MessageSink &m_messages;
    QWidget &m_window;
    // From a drop until its summary has been read: a second list waits for the user to finish with
    // the first.
    bool m_busy = false;
    QProgressDialog *m_progress = nullptr;
    QString m_inputName;
    ListCompletion::Request m_request;
    // The postal data while it loads, then the list's run.
    QFutureWatcher<PostalLoadResult> m_data;
    bool m_waitingForData = false;
    QFutureWatcher<ListCompletion::Report> m_run;
};
