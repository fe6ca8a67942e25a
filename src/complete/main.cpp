#include "address/PostalCompleterFactory.h"
#include "complete/CompleteCommand.h"
#include "platform/SystemConsole.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    const QCoreApplication application(argc, argv);
    SystemConsole console;
    return CompleteCommand(console).run(QCoreApplication::arguments().mid(1),
                                        PostalCompleterFactory::defaultDataPath());
}
