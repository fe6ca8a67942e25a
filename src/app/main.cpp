#include "app/Startup.h"
#include "platform/ArgumentText.h"
#include "platform/WebEngineSandbox.h"

#include <QApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    prepareWebEngineSandbox();
    // The web engine reports its whole set-up on every start; users need none of it.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    return Startup::run(argumentText());
}
