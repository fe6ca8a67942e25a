#include "app/ArgumentText.h"

#include <QCoreApplication>
#include <QStringList>

QString ArgumentText::get()
{
    return QCoreApplication::arguments().mid(1).join(u' ');
}
