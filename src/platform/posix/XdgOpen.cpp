#include "platform/posix/XdgOpen.h"

#include "core/MessageSink.h"

#include <QDir>
#include <QProcess>

using namespace Qt::Literals::StringLiterals;

namespace {

QString shownName(const QUrl &url)
{
    return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toDisplayString();
}

// What the user is told when xdg-open ended with exitCode, or could not be started (a negative code).
// xdg-open's own codes: 2 a file that is not there, 3 no program for it, 4 the program failed.
QString failureText(const QUrl &url, int exitCode)
{
    QString reason;
    if (exitCode < 0)
        reason = u"xdg-open (Debian では xdg-utils パッケージ) がないため開けませんでした"_s;
    else if (exitCode == 2)
        reason = u"ファイルが見つかりません"_s;
    else if (exitCode == 3)
        reason = u"これを開くプログラムが登録されていないため開けませんでした"_s;
    else
        reason = u"開けませんでした (xdg-open の終了コード %1)"_s.arg(exitCode);
    return reason + u'\n' + shownName(url);
}

} // namespace

bool XdgOpen::open(const QUrl &url, MessageSink *messages)
{
    // Owned by nothing: xdg-open may run as long as the program it started (a browser, a file manager),
    // a QProcess destroyed while its process runs kills it, and one still running when Velmora ends is
    // simply left. Its output goes nowhere, so that a program it runs never blocks on a full pipe.
    auto *process = new QProcess;
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, url, messages](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (messages && status == QProcess::NormalExit && exitCode != 0)
                             messages->show(failureText(url, exitCode));
                     });
    // A local file goes as its path, which every version of xdg-open takes.
    process->start(u"xdg-open"_s, {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    if (process->waitForStarted())
        return true;
    delete process;
    if (messages)
        messages->show(failureText(url, -1));
    return false;
}
