#include "ui/ListDrop.h"

#include "address/BackgroundPostalLoader.h"
#include "core/FileSystem.h"
#include "core/MessageSink.h"
#include "lists/ListPreview.h"
#include "lists/ListRunner.h"
#include "lists/ListSummary.h"
#include "platform/FileManager.h"
#include "ui/DialogInTheWay.h"
#include "ui/ListColumnDialog.h"
#include "ui/PlainMessageBox.h"
#include "ui/Question.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

// A list done sooner shows no progress dialog at all.
constexpr int kProgressDelayMs = 500;
// The rows the user names the columns from, where the list's first row does not.
constexpr int kPreviewRows = 5;
const QStringList kListSuffixes{u"csv"_s, u"tsv"_s, u"txt"_s};
const QString kOneList =
    u"住所録は CSV またはタブ区切りのファイル（.csv .tsv .txt）を一つずつドロップしてください"_s;

} // namespace

ListDrop::ListDrop(const ListRunner &runner, FileManager *fileManager, MessageSink &messages, QWidget &window)
    : QObject(&window), m_runner(runner), m_fileManager(fileManager), m_messages(messages), m_window(window)
{
    // Children that take no drops of their own pass them up to the window; the rest (the web view, a
    // cell's editor) are reached through the application's filter before they see the file.
    window.setAcceptDrops(true);
    qApp->installEventFilter(this);
    connect(&m_data, &QFutureWatcherBase::finished, this, &ListDrop::run);
    connect(&m_run, &QFutureWatcherBase::progressValueChanged, this, [this](int value) {
        if (!m_progress)
            return;
        m_progress->setLabelText(processingText());
        m_progress->setValue(value);
    });
    connect(&m_run, &QFutureWatcherBase::finished, this, &ListDrop::end);
}

ListDrop::~ListDrop()
{
    qApp->removeEventFilter(this);
    // The worker reads the request and writes the output: cancelled, it leaves none.
    m_run.disconnect(this);
    m_run.cancel();
    m_run.waitForFinished();
}

bool ListDrop::isOnWindow(QObject *watched) const
{
    const auto *widget = qobject_cast<QWidget *>(watched);
    return widget && (widget == &m_window || m_window.isAncestorOf(widget));
}

bool ListDrop::carriesFiles(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return false;
    const QList<QUrl> urls = mime->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); });
}

bool ListDrop::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *drag = static_cast<QDropEvent *>(event);
    if (!isOnWindow(watched) || !carriesFiles(drag->mimeData()))
        return false;
    // Copy, never move: a source told the file was moved (Explorer) deletes its own.
    if (m_busy || dialogInTheWay(m_window) || !(drag->possibleActions() & Qt::CopyAction)) {
        drag->ignore();
        return true;
    }
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    if (type == QEvent::Drop) {
        m_busy = true;
        // The source of the drag (Explorer, a file manager) waits until the drop returns: the dialogs
        // come after it.
        QTimer::singleShot(0, this, [this, urls = drag->mimeData()->urls()] { take(urls); });
    }
    return true;
}

void ListDrop::take(const QList<QUrl> &urls)
{
    const QFileInfo file(urls.size() == 1 ? urls.first().toLocalFile() : QString());
    if (!file.isFile() || !kListSuffixes.contains(file.suffix().toLower())) {
        m_messages.show(kOneList);
        m_busy = false;
        return;
    }
    ListCompletion::Request base;
    base.input = file.absoluteFilePath();
    const QString output = ListCompletion::defaultOutput(base.input);
    // A folder or a link where the output goes is said at once, not after a question to replace it.
    if (const QString refusal = ListCompletion::outputRefusal(base.input, output); !refusal.isEmpty()) {
        m_messages.show(u"「%1」を処理できませんでした\n"_s.arg(file.fileName()) + refusal);
        m_busy = false;
        return;
    }
    std::optional<ListCompletion::Request> request = withColumns(base);
    const bool earlier = QFileInfo::exists(output);
    if (request && earlier) {
        request->overwrite = askToGoOn(
            m_window, u"%1 は既にあります。\n置き換えますか？"_s.arg(QDir::toNativeSeparators(output)),
            u"置き換える"_s);
        if (!request->overwrite)
            request.reset();
    }
    if (!request) {
        m_messages.show(ListSummary::notRun(earlier));
        m_busy = false;
        return;
    }
    start(*request);
}

std::optional<ListCompletion::Request> ListDrop::withColumns(const ListCompletion::Request &request) const
{
    // The first rows alone, before the run: a list whose columns are found runs as it is.
    const ListPreview preview = ListPreview::of(request, m_runner.files().codec(), kPreviewRows);
    if (preview.outcome != ListPreview::Outcome::ColumnsNotFound)
        return request;
    const std::optional<ListColumns> columns =
        ListColumnDialog::ask(QFileInfo(request.input).fileName(), preview.rows, m_window);
    if (!columns)
        return std::nullopt;
    return columns->givenIn(request);
}

void ListDrop::start(const ListCompletion::Request &request)
{
    m_inputName = QFileInfo(request.input).fileName();
    m_request = request;
    const bool ready = m_runner.data().isFinished();
    m_progress = new QProgressDialog(ready ? processingText() : BackgroundPostalLoader::kLoading,
                                     u"キャンセル"_s, 0, ListRunner::kProgressSteps, &m_window);
    m_progress->setWindowTitle(PlainMessageBox::kTitle);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(kProgressDelayMs);
    // Shown by the time gone, whatever the progress told meanwhile: a list of long rows tells little.
    // Not once the list has ended: the dialog may outlive it a little, behind the summary.
    QTimer::singleShot(kProgressDelayMs, m_progress, [this, dialog = m_progress] {
        if (m_progress == dialog)
            dialog->show();
    });
    // The button, Esc and the title bar's close all cancel; the dialog itself goes away at once.
    const auto cancel = [this] {
        if (!m_waitingForData) {
            m_run.cancel();
            return;
        }
        // Still waiting for the data: nothing has started, nothing is left behind.
        m_waitingForData = false;
        endWith(cancelled());
    };
    connect(m_progress, &QProgressDialog::canceled, this, cancel);
    connect(m_progress, &QDialog::rejected, this, cancel);
    m_waitingForData = true;
    m_data.setFuture(m_runner.data());
}

void ListDrop::run()
{
    if (!std::exchange(m_waitingForData, false) || !m_progress)
        return;
    m_progress->setLabelText(processingText());
    m_run.setFuture(m_runner.start(m_request));
}

QString ListDrop::processingText() const
{
    return u"「%1」を処理しています…"_s.arg(m_inputName);
}

ListCompletion::Report ListDrop::cancelled()
{
    ListCompletion::Report report;
    report.outcome = ListCompletion::Outcome::Cancelled;
    return report;
}

void ListDrop::end()
{
    endWith(ListRunner::reportOf(m_run.future()));
}

void ListDrop::endWith(const ListCompletion::Report &report)
{
    // Its own cancel may be what ends the list: it goes once its signal is done.
    m_progress->hide();
    m_progress->deleteLater();
    m_progress = nullptr;
    switch (report.outcome) {
    case ListCompletion::Outcome::Done:
        showSummary(report);
        break;
    case ListCompletion::Outcome::Cancelled:
        // A window closed meanwhile cancelled the list itself: nobody is left to be told.
        if (m_window.isVisible())
            m_messages.show(ListSummary::cancelled(m_request.overwrite));
        break;
    case ListCompletion::Outcome::Failed:
        m_messages.show(u"「%1」を処理できませんでした\n"_s.arg(m_inputName) + report.error);
        break;
    }
    m_busy = false;
}

void ListDrop::showSummary(const ListCompletion::Report &report)
{
    QString text = u"「%1」\n"_s.arg(m_inputName) +
                   ListSummary::text(report, {}, QDir::toNativeSeparators(report.output));
    if (ListSummary::hasRowsToLookAt(report))
        text += u"\n\n"_s + ListSummary::kLookAtRows;
    QMessageBox box(QMessageBox::Information, PlainMessageBox::kTitle, text, QMessageBox::NoButton,
                    &m_window);
    box.setTextFormat(Qt::PlainText);
    const QPushButton *showFolder =
        m_fileManager ? box.addButton(u"フォルダーを開く"_s, QMessageBox::ActionRole) : nullptr;
    box.setDefaultButton(box.addButton(u"閉じる"_s, QMessageBox::RejectRole));
    box.exec();
    if (showFolder && box.clickedButton() == showFolder)
        m_fileManager->showFile(report.output, qintptr(m_window.winId()));
}
