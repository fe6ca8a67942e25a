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
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    Usr::prepareWebEngineSandbox();
    // The web engine reports its whole set-up on every start; users need none of it.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    Program::ExeBaseName = Program::exeBaseNameFrom(QCoreApplication::applicationFilePath());

    QtMsgBox msgBox;
    QtClipboard clipboard;
    yIni::Install(yIni::defaultServices(msgBox));
    CandidateDialog chooser;
    PostalComponentFactory addresses(
        chooser,
        [](const QString &text) {
            // Said at the first address search, in whichever mode the window serves.
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *main = qobject_cast<fmMain *>(w))
                    main->showStatus(text);
        },
        PostalComponentFactory::defaultDataPath(), [] { return Program::UserDataFolder; });

    std::unique_ptr<fmMain> window = Usr::Main(ArgumentText::get(), {&msgBox, &addresses, &clipboard});
    int rc = 0;
    if (window && window->isVisible()) {
        rc = QApplication::exec();
    }
    // Views go before the web profile and the application object.
    window.reset();
    return rc;
}
