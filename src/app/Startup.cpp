#include "app/Startup.h"

#include "address/PostalCompleterFactory.h"
#include "app/RequestSession.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "core/ProgramIdentity.h"
#include "core/RequestFile.h"
#include "core/RequestLock.h"
#include "platform/FileReplacePatience.h"
#include "platform/ShellActions.h"
#include "platform/SystemProgramPathRecord.h"
#include "platform/SystemShellLauncher.h"
#include "platform/SystemShortcutWriter.h"
#include "platform/SystemSpecialFolders.h"
#include "settings/SettingsDocument.h"
#include "settings/UserDataFolder.h"
#include "ui/CandidateDialog.h"
#include "ui/MainWindow.h"
#include "ui/PlainMessageBox.h"
#include "ui/SystemClipboard.h"

#include <QApplication>
#include <QPointer>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

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
    if (request) {
        requestLock.emplace(folders.path(SpecialFolder::Runtime), argumentText);
        if (!requestLock->isHeld()) {
            messages.show(u"この依頼ファイルは別の画面で処理中です\r"_s + argumentText);
            return 0;
        }
    }

    SystemProgramPathRecord().remember(program.name(), program.linkedPath());
    const QString userDataFolder = UserDataFolder::resolve(
        program, {folders.path(SpecialFolder::RoamingAppData), folders.path(SpecialFolder::Documents)}, files,
        &messages);
    SettingsDocument settings(files, &messages);
    settings.read(userDataFolder + u"User.xml"_s);

    // The help page is installed beside the executable.
    const QString helpBase =
        QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + u'/').toString(QUrl::FullyEncoded);
    const ShellActions shell({&messages, &launcher, &shortcuts, &folders, &files}, program, userDataFolder,
                             helpBase);

    CandidateDialog chooser;
    QPointer<MainWindow> window;
    PostalCompleterFactory completers(
        chooser,
        [&window](const QString &text) {
            // Said once the data has loaded, in whichever mode the window serves.
            if (window)
                window->showWarning(text);
        },
        files, PostalCompleterFactory::defaultDataPath(), userDataFolder);

    // The window goes before the services it uses, and its web view before the web profile and the
    // application object.
    auto mainWindow = std::make_unique<MainWindow>(
        MainWindow::Services{&messages, &clipboard, &completers, &settings, &shell});
    window = mainWindow.get();

    if (!request) {
        mainWindow->show();
        restoreCursor();
        return QApplication::exec();
    }
    const std::optional<QString> answer = RequestSession(*mainWindow, messages, codec).serve(*request);
    // Unless the answer is written, the request file keeps its content whole and the caller sees no
    // answer.
    if (answer) {
        switch (RequestFile::writeAnswer(files, argumentText, requestBytes, *answer)) {
        case RequestFile::Outcome::Written:
            break;
        case RequestFile::Outcome::FileChanged:
            messages.show(u"依頼ファイルが表示中に変更されたため、回答を書き込みませんでした\r"_s +
                          argumentText);
            break;
        case RequestFile::Outcome::WriteFailed:
            messages.show(u"依頼ファイルに回答を書き込めませんでした\r"_s + argumentText);
            break;
        }
    }
    mainWindow->shutDown();
    return 0;
}
