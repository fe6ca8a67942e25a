#include "address/BackgroundPostalLoader.h"
#include "complete/CompleteCommand.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "core/MessageSink.h"
#include "core/ProgramIdentity.h"
#include "platform/SystemConsole.h"
#include "platform/SystemSpecialFolders.h"
#include "settings/UserDataFolder.h"

#include <QCoreApplication>

namespace {

// Messages meant for a box, on standard error.
class ConsoleMessages : public MessageSink {
public:
    explicit ConsoleMessages(Console &console) : m_console(console) {}
    void show(const QString &text) override { m_console.writeError(text + u'\n'); }

private:
    Console &m_console;
};

} // namespace

int main(int argc, char **argv)
{
    const QCoreApplication application(argc, argv);
    SystemConsole console;
    const auto userFolder = [&console] {
        // The user data folder is Velmora's own, chosen by the UserData.ini installed beside both.
        const ProgramIdentity velmora(QCoreApplication::applicationDirPath() + QStringLiteral("/velmora"));
        const SystemSpecialFolders folders;
        const Cp932Table codec;
        const FileSystem files(codec);
        ConsoleMessages messages(console);
        return UserDataFolder::resolve(
            velmora, {folders.path(SpecialFolder::RoamingAppData), folders.path(SpecialFolder::Documents)},
            files, &messages);
    };
    return CompleteCommand(console, QDate::currentDate())
        .run(QCoreApplication::arguments().mid(1), BackgroundPostalLoader::defaultDataPath(), userFolder);
}
