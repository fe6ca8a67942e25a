#include "ui/DesktopDocumentLauncher.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopDocumentLauncher::open(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}
