#include "platform/InternetShortcut.h"

QByteArray InternetShortcut::content(const QUrl &url)
{
    return "[InternetShortcut]\r\nURL=" + url.toEncoded() + "\r\n";
}
