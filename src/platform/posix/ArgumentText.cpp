#include "platform/ArgumentText.h"

#include <QCoreApplication>
#include <QStringList>

QString argumentText()
{
    return QCoreApplication::arguments().mid(1).join(u' ');
}
