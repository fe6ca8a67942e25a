#include "app/Startup.h"

#include "address/BackgroundPostalLoader.h"
#include "app/RequestSession.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "core/MessageSink.h"
#include "core/ProgramIdentity.h"
#include "core/RequestFile.h"
#include "core/RequestLock.h"
#include "lists/ListRunner.h"
#include "platform/FileReplacePatience.h"
#include "platform/ShellActions.h"
#include "platform/SystemClipboard.h"
#include "platform/SystemFileManager.h"
#include "platform/SystemProgramPathRecord.h"
#include "platform/SystemShellLauncher.h"
#include "platform/SystemShortcutWriter.h"
#include "platform/SystemSpecialFolders.h"
#include "settings/SettingsDocument.h"
#include "settings/UserDataFolder.h"
#include "ui/CandidateDialog.h"
#include "ui/MainWindow.h"
#include "ui/PlainMessageBox.h"

#include <QApplication>
#include <QPointer>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

// The help page is installed beside the executable.
QString installedHelpBase()
{
    return QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + u'/').toString(QUrl::FullyEncoded);
}

// Unless the answer is written, the request file keeps its content whole and the caller sees no answer.
void writeAnswer(const FileSystem &files, MessageSink &messages, const QString &path,
                 const QByteArray &requestBytes, const QString &answer)
{
    switch (RequestFile::writeAnswer(files, path, requestBytes, answer)) {
    case RequestFile::Outcome::Written:
        break;
    case RequestFile::Outcome::FileChanged:
        messages.show(u"依頼ファイルが表示中に変更されたため、回答を書き込みませんでした\r"_s + path);
        break;
    case RequestFile::Outcome::WriteFailed:
        messages.show(u"依頼ファイルに回答を書き込めませんでした\r"_s + path);
        break;
    }
}

// Held until the lock goes; false, having said why, when another window serves the same request or
// no lock can be made (then two windows could answer it).
bool lockRequest(std::optional<RequestLock> &lock, const SpecialFolders &folders, const QString &path,
                 MessageSink &messages)
{
    const QString folder = folders.path(SpecialFolder::Runtime);
    lock.emplace(folder, path);
    switch (lock->state()) {
    case RequestLock::State::Held:
        return true;
    case RequestLock::State::HeldElsewhere:
        messages.show(u"この依頼ファイルは別の画面で処理中です\r"_s + path);
        return false;
    case RequestLock::State::CannotLock:
        messages.show(
            (folder.isEmpty()
                 ? u"依頼ファイルの処理中の印を置く、ほかの利用者が書き込めないフォルダーがありません\r"_s
                 : u"依頼ファイルの処理中の印をフォルダー %1 に作れません\r"_s.arg(folder)) +
            path);
        return false;
    }
    return false;
}

} // namespace

int Startup::run(const QString &argumentText)
{
    // The wait pointer shows until the window first shows, or until start-up ends some other way.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = [] {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    };
    const auto cursorGuard = qScopeGuard(restoreCursor);

    const ProgramIdentity program(QCoreApplication::applicationFilePath());
    const Cp932Table codec;
    const FileSystem files(codec, ReplaceRetry(fileReplacePatienceMs()));
    PlainMessageBox messages;
    SystemClipboard clipboard;
    SystemSpecialFolders folders;
    SystemShellLauncher launcher(&messages);
    SystemShortcutWriter shortcuts(files);

    QByteArray requestBytes;
    const std::optional<QString> request = RequestFile::read(files, argumentText, &requestBytes);
    std::optional<RequestLock> requestLock;
    if (request && !lockRequest(requestLock, folders, argumentText, messages))
        return 0;

    SystemProgramPathRecord().remember(program.name(), program.linkedPath());
    const QString userDataFolder = UserDataFolder::resolve(
        program, {folders.path(SpecialFolder::RoamingAppData), folders.path(SpecialFolder::Documents)}, files,
        &messages);
    SettingsDocument settings(files, &messages);
    settings.read(userDataFolder + u"User.xml"_s);

    const ShellActions shell({&launcher, &shortcuts}, program, userDataFolder, installedHelpBase());

    CandidateDialog chooser;
    QPointer<MainWindow> window;
    BackgroundPostalLoader completers(
        chooser,
        [&window](const QString &text) {
            // Said once the data has loaded, in whichever mode the window serves.
            if (window)
                window->showWarning(text);
        },
        files, BackgroundPostalLoader::defaultDataPath(), userDataFolder);

    const ListRunner lists(completers.data(), codec);
    SystemFileManager fileManager;

    // The window goes before the services it uses, and its web view before the web profile and the
    // application object.
    auto mainWindow = std::make_unique<MainWindow>(MainWindow::Services{
        &messages, &clipboard, &completers, &settings, &shell, &lists, &fileManager, &folders});
    window = mainWindow.get();

    if (!request) {
        mainWindow->show();
        restoreCursor();
        return QApplication::exec();
    }
    if (const std::optional<QString> answer = RequestSession(*mainWindow, messages, codec).serve(*request))
        writeAnswer(files, messages, argumentText, requestBytes, *answer);
    mainWindow->shutDown();
    return 0;
}
