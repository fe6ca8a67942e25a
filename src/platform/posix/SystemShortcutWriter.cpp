#include "platform/SystemShortcutWriter.h"

#include "core/FileSystem.h"
#include "platform/ShellTarget.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

// Desktop entry values escape the backslash and control characters; anything else is literal.
QString escaped(QString value)
{
    value.replace(u"\\"_s, u"\\\\"_s);
    value.replace(u"\n"_s, u"\\n"_s);
    value.replace(u"\r"_s, u"\\r"_s);
    value.replace(u"\t"_s, u"\\t"_s);
    return value;
}

} // namespace

QString SystemShortcutWriter::fileSuffix(const QString &) const
{
    return u".desktop"_s;
}

bool SystemShortcutWriter::write(const QString &shortcutPath, const QString &target)
{
    const QString url = ShellTarget::toUrl(target).toString(QUrl::FullyEncoded);
    const QString entry = u"[Desktop Entry]\nType=Link\nName="_s +
                          escaped(QFileInfo(shortcutPath).completeBaseName()) + u"\nURL="_s + escaped(url) +
                          u'\n';
    return m_files.writeAtomic(shortcutPath, entry.toUtf8());
}
