#include "app/Startup.h"
#include "platform/ArgumentText.h"
#include "platform/SessionRuntimeFolder.h"
#include "platform/WebEngineSandbox.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

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
    // The users are Japanese whatever language their system speaks: Qt's own dialog buttons and the web
    // engine's menus and pages (which take the default locale when the engine starts) speak Japanese too.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qt"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    return Startup::run(argumentText());
}
