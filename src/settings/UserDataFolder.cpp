#include "settings/UserDataFolder.h"

#include "core/FileSystem.h"
#include "core/MessageSink.h"
#include "core/ProgramIdentity.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

namespace {

QString withSeparator(QString path)
{
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path;
}

bool isDrive(const QString &prefix)
{
    return prefix.size() == 2 && prefix[1] == u':' && prefix[0].isLetter();
}

} // namespace

QString UserDataFolder::resolve(const ProgramIdentity &program, const SystemFolders &systemFolders,
                                const FileSystem &files, MessageSink *messages)
{
    const auto show = [messages](const QString &text) {
        if (messages)
            messages->show(text);
    };
    const QChar sep = QDir::separator();
    const QString subPath = sep + u"Norvane"_s + sep + program.name() + sep;
    const QString defaultFolder = systemFolders.roamingAppData + subPath;
    const QString choiceFile = program.folder() + u"UserData.ini"_s;

    QString choice = u"%applicaion data%"_s;
    if (files.fileExists(choiceFile)) {
        // A choice file that cannot be read or decoded defines no folder, like an empty one.
        const auto text = files.readText(choiceFile);
        if (!text || text->isEmpty() || text->front() == u'\r' || text->front() == u'\n')
            show(u" ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞが定義されていません\n"_s + defaultFolder + u" を使用します"_s);
        else
            choice = *text;
    } else {
        show(choiceFile + u" が見つかりません\nﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　"_s + defaultFolder + u" を使用します"_s);
    }

    // Keywords match in any letter case; a folder path keeps its own, since on a case-sensitive file
    // system the lower-cased path names another folder.
    const QString keyword = choice.toLower();
    QString folder;
    if (keyword == u"%app%"_s) {
        folder = program.folder() + u"usData"_s + sep;
    } else if (keyword == u"%doc"_s || keyword == u"%my document%"_s) {
        folder = systemFolders.documents + subPath;
    } else if (keyword.startsWith(u'%')) {
        folder = defaultFolder;
    } else if (files.folderExists(choice)) {
        folder = withSeparator(QDir::toNativeSeparators(choice));
    } else {
        show(u"ﾌｫﾙﾀﾞ "_s + choice + u" が見つかりません\nﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　"_s + defaultFolder +
             u" を使用します"_s);
        folder = defaultFolder;
    }
    if (!files.folderExists(folder))
        createPath(folder, files);
    return folder;
}

void UserDataFolder::createPath(const QString &path, const FileSystem &files)
{
    if (files.folderExists(path))
        return;
    const QChar sep = QDir::separator();
    const QString full = withSeparator(QDir::toNativeSeparators(path));
    for (qsizetype at = full.indexOf(sep); at >= 0; at = full.indexOf(sep, at + 1)) {
        const QString level = full.left(at);
        if (level.isEmpty() || isDrive(level) || level == sep)
            continue;
        if (!files.folderExists(level))
            files.createFolder(level);
    }
}

void UserDataFolder::createSubfolders(const QString &base, const QStringList &names, const FileSystem &files)
{
    for (const QString &name : names) {
        const QString folder = base + name;
        if (!files.folderExists(folder) && !files.createFolder(folder))
            return;
    }
}
