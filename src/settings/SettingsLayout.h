#pragma once

#include <QString>

// The settings file's layout as the writer makes it: CR LF line ends, three blanks before a group's
// tags and six before a key.
namespace SettingsLayout {

inline const QString kLineEnd = QStringLiteral("\r\n");

QString documentElement(const QString &rootName, const QString &content);
QString groupElement(const QString &name, const QString &content);
QString keyElement(const QString &name, const QString &content);

inline bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace SettingsLayout
