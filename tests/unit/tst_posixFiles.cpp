// Files only POSIX systems make here: writes that fail for real under a file size limit, as on a full
// disk, and named pipes and links handed over as requests or settings.
#include "address/PostalDirectoryLoader.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "core/RequestFile.h"
#include "platform/SystemSpecialFolders.h"
#include "settings/SettingsDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

class tst_PosixFiles : public QObject {
    Q_OBJECT

    const Cp932Table m_codec;
    const FileSystem m_files{m_codec};

private slots:
    void failedWritesLeaveTheOldFileWhole_data()
    {
        QTest::addColumn<QString>("text"); // given to writeText; when null, 64 KiB go to writeAtomic
        QTest::newRow("a text of a settings file's size") << QString(4000, u'東');
        QTest::newRow("bytes beyond Qt's write buffer") << QString();
    }
    void failedWritesLeaveTheOldFileWhole()
    {
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"User.xml"_s);
        QVERIFY(m_files.writeText(path, u"東京\r\n"_s));
        QVERIFY(!m_files.writeText(path, u"東京𠮷"_s)); // CP932 cannot store it: nothing is written
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool written = text.isNull() ? m_files.writeAtomic(path, QByteArray(64 * 1024, 'x'))
                                           : m_files.writeText(path, text);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\x93\x8c\x8b\x9e\r\n"));
        QCOMPARE(
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList{u"User.xml"_s});
    }

    // Neither hangs on a named pipe nor writes through a link to a file of any other name.
    void onlyRegularFilesAreRequestsOrSettings()
    {
        QTemporaryDir dir;
        const QString pipe = dir.filePath(u"pipeVelmo.txt"_s), link = dir.filePath(u"linkVelmo.txt"_s),
                      target = dir.filePath(u"x.cfg"_s);
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("VelmoraA\t\t\t\t\t") == 13);
        file.close();
        QVERIFY(QFile::link(target, link));
        QVERIFY(!RequestFile::read(m_files, pipe));
        QVERIFY(!RequestFile::read(m_files, link));
        SettingsDocument settings(m_files, nullptr);
        QVERIFY(!settings.read(pipe));
        QVERIFY(!settings.write());
        QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
    }

    // A link in the user data folder is read through but never replaced: its target may be any file.
    void linksInTheUserDataFolderAreNotReplaced()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(u"notes.txt"_s), settingsLink = dir.filePath(u"User.xml"_s),
                      dangling = dir.filePath(u"gone.xml"_s);
        const QString text = u"<運用>\r\n   <位置>\r\n      <TOP>60</TOP>\r\n   </位置>\r\n</運用>"_s;
        QVERIFY(m_files.writeText(target, text));
        QVERIFY(QFile::link(target, settingsLink) && QFile::link(dir.filePath(u"none"_s), dangling));
        const QString cacheLink = dir.filePath(PostalDirectoryLoader::cacheFileName());
        QVERIFY(QFile::link(target, cacheLink));
        QVERIFY(!m_files.writeAtomic(cacheLink, "index"));
        SettingsDocument settings(m_files, nullptr);
        QVERIFY(settings.read(settingsLink));
        QCOMPARE(settings.group(u"位置"_s).value<double>(u"TOP"_s, 0), 60);
        QVERIFY(!settings.canSave());
        settings.setGroupText(u"位置"_s, {});
        QVERIFY(!settings.write());
        QCOMPARE(m_files.readText(target), text);
        QVERIFY(!settings.read(dangling));
        QVERIFY(!QFileInfo::exists(dir.filePath(u"none"_s)));
    }

    // A request's lock goes where no other user can plant something under its name.
    void runtimeFolderIsTheUsersAlone()
    {
        const QFileInfo folder(SystemSpecialFolders().path(SpecialFolder::Runtime));
        QVERIFY(folder.isDir() && folder.ownerId() == getuid());
        QCOMPARE(folder.permissions() & (QFile::WriteGroup | QFile::WriteOther), QFile::Permissions());
    }
};

QTEST_GUILESS_MAIN(tst_PosixFiles)
#include "tst_posixFiles.moc"
