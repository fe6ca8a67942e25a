#pragma once

#include <QString>
#include <QUrl>

// What a shortcut points at, as a URL: a text with a scheme ("https:", "file:") is a URL, anything
// else (a Windows drive path included) is a local file or folder.
class ShellTarget {
public:
    static QUrl toUrl(const QString &target);
};
