#include "app/Startup.h"
#include "platform/ArgumentText.h"
#include "platform/SessionRuntimeFolder.h"
#include "platform/WebEngineSandbox.h"
#include "ui/JapaneseTranslations.h"

#include <QApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    prepareSessionRuntimeFolder();
    const bool sandboxOffHere = prepareWebEngineSandbox();
    // The web engine reports its whole set-up on every start; users need none of it. Where the sandbox
    // was switched off here, its "Sandboxing disabled by user." (in the default category) would
    // repeat the line just said and put it on the user.
    QLoggingCategory::setFilterRules(
        sandboxOffHere ? QStringLiteral("qt.webenginecontext.info=false\ndefault.info=false")
                       : QStringLiteral("qt.webenginecontext.info=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The users are Japanese whatever language their system speaks: Qt's own dialogs and the web
    // engine's pages speak Japanese too.
    JapaneseTranslations::chooseLocale();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    const JapaneseTranslations translations;
    return Startup::run(argumentText());
}
