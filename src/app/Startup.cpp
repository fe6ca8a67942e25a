#include "app/Startup.h"

#include "address/BackgroundPostalLoader.h"
#include "app/RequestSession.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "core/ProgramIdentity.h"
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
#include "ui/MainWindow.h"
#include "ui/PlainMessageBox.h"
#include "ui/PostalUpdateSetup.h"

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

    RequestSession request(files, folders, messages);
    const RequestSession::Opened opened = request.open(argumentText);
    if (opened == RequestSession::Opened::Refused)
        return 0;

    SystemProgramPathRecord().remember(program.name(), program.linkedPath());
    const QString userDataFolder = UserDataFolder::resolve(
        program, {folders.path(SpecialFolder::RoamingAppData), folders.path(SpecialFolder::Documents)}, files,
        &messages);
    SettingsDocument settings(files, &messages);
    settings.read(userDataFolder + u"User.xml"_s);

    const ShellActions shell({&launcher, &shortcuts}, program, userDataFolder, installedHelpBase());

    QPointer<MainWindow> window;
    BackgroundPostalLoader completers(
        [&window](const QString &text) {
            // Said once the data has loaded, in whichever mode the window serves.
            if (window)
                window->showWarning(text);
        },
        files, BackgroundPostalLoader::defaultDataPath(), userDataFolder);

    ListRunner lists(completers.data(), files);
    // The status bar's update of the postal data: later searches and lists take what it installed.
    const auto reload = [&completers, &lists] {
        completers.reload();
        lists.setData(completers.data());
    };
    const PostalUpdateSetup postalUpdate{
        &files, BackgroundPostalLoader::defaultDataPath(), userDataFolder, reload, nullptr, nullptr};
    SystemFileManager fileManager(&messages);

    // The window goes before the services it uses, and its web view before the web profile and the
    // application object.
    auto mainWindow = std::make_unique<MainWindow>(
        MainWindow::Services{&messages, &clipboard, &completers, nullptr, &settings, &shell, &lists,
                             &fileManager, &folders, nullptr, &postalUpdate});
    window = mainWindow.get();

    if (opened == RequestSession::Opened::NoRequest) {
        mainWindow->show();
        restoreCursor();
        return QApplication::exec();
    }
    request.serve(*mainWindow);
    mainWindow->shutDown();
    return 0;
}
