#include "complete/CompleteCommand.h"

#include "address/PostalDataAge.h"
#include "address/PostalDirectoryLoader.h"
#include "complete/CompleteOptions.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "lists/ListSummary.h"
#include "platform/Console.h"
#include "platform/FileReplacePatience.h"
#include "update/NetworkFetcher.h"
#include "update/PostalUpdate.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kBarWidth = 30;
const QString kHowToUpdate = u"velmora-complete --update-data で更新できます"_s;
} // namespace

int CompleteCommand::updateData(const QString &dataPath, const QString &userFolder)
{
    if (userFolder.isEmpty()) {
        m_console.writeError(u"ユーザーデータフォルダがないため更新できません\n"_s);
        return 1;
    }
    const Cp932Table codec;
    const FileSystem files(codec, ReplaceRetry(fileReplacePatienceMs()));
    NetworkFetcher fetcher;
    PostalUpdate update(fetcher, files, dataPath, userFolder);
    QStringList from;
    for (const QUrl &url : PostalUpdate::sources())
        from.append(url.toString());
    m_console.writeError(u"郵便番号データをダウンロードします: "_s + from.join(u"、"_s) + u'\n');
    m_terminal = m_console.errorIsTerminal();
    QObject::connect(&update, &PostalUpdate::progress, &update,
                     [this](const QString &file, qint64 received, qint64 total) {
                         if (m_terminal)
                             m_console.writeError(u"\r%1 %2 KB"_s.arg(file).arg(received >> 10) +
                                                  (total > 0 ? u" / %1 KB   "_s.arg(total >> 10) : u"   "_s));
                     });
    // The console's one loop, for the network's signals: nothing else runs in this program meanwhile.
    QEventLoop loop;
    bool installed = false;
    QString told;
    QObject::connect(&update, &PostalUpdate::finished, &loop, [&](bool done, const QString &text) {
        installed = done;
        told = text;
        loop.quit();
    });
    update.start();
    loop.exec();
    m_console.writeError((m_terminal ? u"\n"_s : QString()) + told + u'\n');
    return installed ? 0 : 1;
}

void CompleteCommand::showProgress(qint64 done, qint64 total, qint64 elapsedMs)
{
    // Only on a terminal, and only for a list that takes a while: a quick run or a log stays clean.
    if (!m_terminal || elapsedMs < 1000 || total <= 0)
        return;
    const int percent = int(std::min<qint64>(100, done * 100 / total));
    if (percent == m_shownPercent)
        return;
    m_shownPercent = percent;
    const int filled = percent * kBarWidth / 100;
    m_console.writeError(u"\r["_s + QString(filled, u'#') + QString(kBarWidth - filled, u'.') +
                         u"] %1%"_s.arg(percent, 3));
}

int CompleteCommand::run(const QStringList &arguments, const QString &dataPath,
                         const std::function<QString()> &userFolder)
{
    QString error;
    const std::optional<CompleteOptions> options = CompleteOptions::parse(arguments, &error);
    if (!options || options->help) {
        m_console.writeError((options ? QString() : error + u"\n\n"_s) + CompleteOptions::usage());
        return options ? 0 : 2;
    }
    if (options->updateData)
        return updateData(dataPath, userFolder());
    QElapsedTimer clock;
    clock.start();
    const Cp932Table codec;
    // The output replaced as the window replaces its files, a refused rename tried again for a moment.
    const FileSystem files(codec, ReplaceRetry(fileReplacePatienceMs()));
    const PostalLoadResult data = PostalDirectoryLoader::load(files, dataPath, userFolder());
    // A user's file that could not be used is said even when the shipped data serves.
    for (const QString &message : data.messages)
        m_console.writeError(message + u'\n');
    if (const auto old = PostalDataAge::staleWarning(data.directory->date(), m_today, kHowToUpdate))
        m_console.writeError(*old + u'\n');
    if (data.directory->entryCount() == 0) {
        m_console.writeError(ListSummary::kNoData + u'\n');
        return 1;
    }
    std::atomic<bool> interrupted{false};
    m_console.cancelOnInterrupt(&interrupted);
    m_terminal = m_console.errorIsTerminal();
    const ListCompletion::Report report =
        ListCompletion(*data.directory, files)
            .run(
                options->request,
                [&](qint64 done, qint64 total) { showProgress(done, total, clock.elapsed()); }, &interrupted);
    if (m_shownPercent >= 0)
        m_console.writeError(u"\r"_s + QString(kBarWidth + 8, u' ') + u"\r"_s);

    if (!report.warning.isEmpty())
        m_console.writeError(options->request.input + u": "_s + report.warning + u'\n');
    if (report.outcome == ListCompletion::Outcome::Cancelled) {
        // Under --force an earlier output is there still, as it was.
        m_console.writeError(ListSummary::cancelled(QFileInfo::exists(report.output)) + u'\n');
        // The signal's status where one stopped it, so that a calling script can tell.
        return m_console.interruptStatus() ? m_console.interruptStatus() : 1;
    }
    if (report.outcome == ListCompletion::Outcome::Failed) {
        m_console.writeError(
            options->request.input + u": "_s + report.error +
            (report.outputExists ? u"（置き換えるには --force を付けてください）"_s : QString()) + u'\n');
        return report.badColumn ? 2 : 1;
    }
    const QString time = u"　%1 秒"_s.arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1);
    m_console.writeError(ListSummary::text(report, time, report.output) + u'\n');
    return 0;
}
