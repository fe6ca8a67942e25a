#include "platform/ShellTarget.h"

#include <QFileInfo>

QUrl ShellTarget::toUrl(const QString &target)
{
    const QUrl url(target);
    // One letter before ":" is a drive, not a scheme.
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
}
