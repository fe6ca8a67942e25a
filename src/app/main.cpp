#include "address/CandidateDialog.h"
#include "address/PostalComponentFactory.h"
#include "app/ArgumentText.h"
#include "app/ProgramValues.h"
#include "app/QtMsgBox.h"
#include "app/Usr.h"
#include "clipboard/QtClipboard.h"
#include "settings/yIni.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    Usr::prepareWebEngineSandbox();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    Program::ExeBaseName = Program::exeBaseNameFrom(QCoreApplication::applicationFilePath());

    QtMsgBox msgBox;
    QtClipboard clipboard;
    yIni::Install(yIni::defaultServices(msgBox));
    CandidateDialog chooser;
    fmMain *statusTarget = nullptr;
    PostalComponentFactory addresses(
        chooser,
        [&statusTarget](const QString &text) {
            if (statusTarget)
                statusTarget->showStatus(text);
        },
        PostalComponentFactory::defaultDataPath(), [] { return Program::UserDataFolder; });

    std::unique_ptr<fmMain> window = Usr::Main(ArgumentText::get(), {&msgBox, &addresses, &clipboard});
    int rc = 0;
    if (window && window->isVisible()) {
        statusTarget = window.get();
        rc = QApplication::exec();
    }
    statusTarget = nullptr;
    // Views go before the web profile and the application object.
    window.reset();
    return rc;
}
