// Files only POSIX systems make here: writes that fail for real under a file size limit, as on a full
// disk, named pipes and links handed over as requests, settings or a list's output, signals, and a
// desktop whose opener finds no program or is missing.
#include "address/PostalDirectoryLoader.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "core/RequestFile.h"
#include "lists/ListCompletion.h"
#include "platform/SessionRuntimeFolder.h"
#include "platform/SystemFileManager.h"
#include "platform/SystemShellLauncher.h"
#include "platform/SystemSpecialFolders.h"
#include "settings/SettingsDocument.h"
#include "support/FakeMessages.h"
#include "support/LongRowsList.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
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

    // What a list left in its folder besides the input: files and links, hidden ones (a temporary
    // file) included.
    static QStringList leftIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    }
    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }

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

    // A request's lock goes where no other user can plant something under its name: the session's
    // runtime folder only where it is the user's and closed to others, else one of the user's own.
    void runtimeFolderIsTheUsersAlone_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("othersOwnIt");
        QTest::newRow("the session's, private") << 0700 << false;
        QTest::newRow("the session's, open to its group") << 0770 << false;
        QTest::newRow("another user's") << 0700 << true;
    }
    void runtimeFolderIsTheUsersAlone()
    {
        QFETCH(int, mode);
        QFETCH(bool, othersOwnIt);
        if (othersOwnIt && geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        QTemporaryDir home;
        const QString runtime = home.filePath(u"run"_s);
        QVERIFY(QDir().mkdir(runtime) && chmod(QFile::encodeName(runtime).constData(), mode_t(mode)) == 0);
        if (othersOwnIt)
            QCOMPARE(chown(QFile::encodeName(runtime).constData(), 65534, 65534), 0);
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(u"cache"_s)));
        const QString chosen = SystemSpecialFolders().path(SpecialFolder::Runtime);
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("XDG_CACHE_HOME", savedCache);
        QCOMPARE(chosen == runtime, mode == 0700 && !othersOwnIt);
        const QFileInfo folder(chosen);
        QVERIFY(folder.isDir() && folder.ownerId() == geteuid());
        QCOMPARE(folder.permissions() &
                     (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());
    }

    // Without a session Qt is handed the user's private runtime folder rather than picking one in /tmp.
    void noSessionRuntimeFolderGetsTheUsersOwn()
    {
        QTemporaryDir home;
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedCache = qgetenv("XDG_CACHE_HOME");
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path()));
        prepareSessionRuntimeFolder();
        const QString named = qEnvironmentVariable("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        qputenv("XDG_CACHE_HOME", savedCache);
        QVERIFY2(named.startsWith(home.path() + u'/'), qPrintable(named));
        QCOMPARE(QFileInfo(named).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
    }

    // A list is written whole or not at all: a full disk part way leaves no output, and the earlier
    // output as it was.
    void listOnAFullDiskLeavesNothing()
    {
        const PostalLoadResult data =
            PostalDirectoryLoader::load(m_files, QStringLiteral(VELMORA_POSTAL_DATA), {});
        QTemporaryDir dir;
        const QString input = dir.filePath(u"l.csv"_s), output = dir.filePath(u"l_velmora.csv"_s);
        QFile list(input);
        QVERIFY(list.open(QIODevice::WriteOnly) &&
                list.write("\xE3\x80\x92,x\n" + QByteArray("1000001,\n").repeated(20000)) > 0);
        list.close();
        QFile earlier(output);
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
        earlier.close();
        ListCompletion::Request request;
        request.input = input;
        request.overwrite = true;
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = 256 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const ListCompletion::Report report = ListCompletion(*data.directory, m_files).run(request);
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(report.outcome, ListCompletion::Outcome::Failed);
        // The cause in the user's words: here the file size limit that stands in for the full disk.
        QVERIFY2(report.error.contains(output) && report.error.contains(u"ファイルの大きさの上限"_s),
                 qPrintable(report.error));
        QCOMPARE(contentOf(output), QByteArray("earlier"));
        QCOMPARE(leftIn(dir.path()), QStringList({u"l.csv"_s, u"l_velmora.csv"_s}));
    }

    // Never written through a link, nor onto the input reached by another name.
    void listOutputNeverThroughALink_data()
    {
        QTest::addColumn<QString>("made"); // at the output's path: "link", "dangling" or "hard link"
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("said");
        QTest::newRow("a link to a file of the user's") << u"link"_s << true << u"リンク"_s;
        QTest::newRow("a link to nothing yet") << u"dangling"_s << false << u"リンク"_s;
        QTest::newRow("the input under another name") << u"hard link"_s << true << u"入力ファイルと同じ"_s;
    }
    void listOutputNeverThroughALink()
    {
        QFETCH(QString, made);
        QFETCH(bool, force);
        QFETCH(QString, said);
        const PostalLoadResult data =
            PostalDirectoryLoader::load(m_files, QStringLiteral(VELMORA_POSTAL_DATA), {});
        QTemporaryDir dir;
        const QString input = dir.filePath(u"l.csv"_s), output = dir.filePath(u"l_velmora.csv"_s),
                      target = dir.filePath(u"notes.txt"_s);
        QVERIFY(m_files.writeAtomic(input, "\xE3\x80\x92,x\n1000001,\n"));
        QVERIFY(m_files.writeAtomic(target, "notes"));
        const QByteArray from = QFile::encodeName(made == u"hard link"_s ? input : target);
        QCOMPARE(made == u"hard link"_s ? link(from.constData(), QFile::encodeName(output).constData())
                                        : symlink(made == u"link"_s ? from.constData() : "gone.txt",
                                                  QFile::encodeName(output).constData()),
                 0);
        ListCompletion::Request request;
        request.input = input;
        request.overwrite = force;
        const ListCompletion::Report report = ListCompletion(*data.directory, m_files).run(request);
        QCOMPARE(report.outcome, ListCompletion::Outcome::Failed);
        QVERIFY2(report.error.contains(said), qPrintable(report.error));
        QCOMPARE(contentOf(target), QByteArray("notes"));
        QCOMPARE(contentOf(input), QByteArray("\xE3\x80\x92,x\n1000001,\n"));
        QCOMPARE(leftIn(dir.path()), QStringList({u"l.csv"_s, u"l_velmora.csv"_s, u"notes.txt"_s}));
    }

    // The real program in a mount of its own: the input reached through a bind mount, under another
    // path, is still the input; a disk that fills up is said to be full.
    void listOutputOnAMountOfItsOwn_data()
    {
        QTest::addColumn<QString>("mount"); // "$1": the input's folder, "$2": the output's
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("said");
        QTest::newRow("the input through a bind mount")
            << u"mount --bind \"$1\" \"$2\""_s << 1 << u"入力ファイルと同じ"_s;
        QTest::newRow("a full disk") << u"mount -t tmpfs -o size=64k tmpfs \"$2\""_s << 20000
                                     << u"ディスクの空きがありません"_s;
    }
    void listOutputOnAMountOfItsOwn()
    {
        QFETCH(QString, mount);
        QFETCH(int, rows);
        QFETCH(QString, said);
        if (geteuid() != 0 || QStandardPaths::findExecutable(u"unshare"_s).isEmpty())
            QSKIP("a mount of one's own takes root and unshare");
        QTemporaryDir dir;
        const QString input = dir.filePath(u"a/l.csv"_s);
        const QByteArray list = "\xE3\x80\x92,x\n" + QByteArray("1000001,\n").repeated(rows);
        QVERIFY(QDir(dir.path()).mkdir(u"a"_s) && QDir(dir.path()).mkdir(u"b"_s));
        QVERIFY(m_files.writeAtomic(input, list));
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, dir.path());
        run.setProcessEnvironment(environment);
        run.start(u"unshare"_s,
                  {u"-m"_s, u"--propagation"_s, u"private"_s, u"sh"_s, u"-c"_s,
                   mount + u" || exit 99; exec \"$3\" --force -o \"$2/l.csv\" \"$1/l.csv\""_s, u"sh"_s,
                   dir.filePath(u"a"_s), dir.filePath(u"b"_s), QStringLiteral(VELMORA_COMPLETE_EXE)});
        QVERIFY(run.waitForFinished(60000));
        const QString told = QString::fromUtf8(run.readAllStandardError());
        // unshare itself refuses in a chroot, whose root is no mount whose propagation could change.
        if (run.exitCode() == 99 || run.exitStatus() != QProcess::NormalExit ||
            told.startsWith(u"unshare:"_s))
            QSKIP("no such mount may be made here");
        QVERIFY2(run.exitCode() == 1 && told.contains(said), qPrintable(told));
        QCOMPARE(contentOf(input), list);
    }

    // SIGTERM and Ctrl+C stop the console program between two rows however long they are: with the
    // shell's status for the signal, and nothing left behind.
    void listStoppedBySignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("Ctrl+C") << int(SIGINT);
    }
    void listStoppedBySignal()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        QVERIFY(writeLongRowsList(dir.filePath(u"l.csv"_s), 16));
        const qsizetype rowBytes = 1000000;
        QProcess run;
        run.setWorkingDirectory(dir.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, dir.path());
        run.setProcessEnvironment(environment);
        run.start(QStringLiteral(VELMORA_COMPLETE_EXE), {u"l.csv"_s});
        // Once it has read a few of the rows, it is writing them (its temporary output may have no
        // name until it is renamed).
        const auto bytesRead = [&run] {
            const QByteArray io = contentOf(u"/proc/%1/io"_s.arg(run.processId()));
            const qsizetype at = io.indexOf("rchar: ");
            return at < 0 ? 0 : io.mid(at + 7, io.indexOf('\n', at) - at - 7).toLongLong();
        };
        QTRY_VERIFY_WITH_TIMEOUT(bytesRead() > 4 * rowBytes, 60000);
        QCOMPARE(kill(pid_t(run.processId()), signal), 0);
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 128 + signal);
        QVERIFY(QString::fromUtf8(run.readAllStandardError()).contains(u"中断しました"_s));
        QCOMPARE(leftIn(dir.path()), QStringList{u"l.csv"_s});
    }

    void openersThatFailSaySoNamingWhat()
    {
        // First an xdg-open that finds no program for anything (its code 3), then none at all.
        QTemporaryDir bin;
        const QString opener = bin.filePath(u"xdg-open"_s);
        QFile script(opener);
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write("#!/bin/sh\nexit 3\n") > 0);
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        const QByteArray savedPath = qgetenv("PATH");
        const auto restorePath = qScopeGuard([&] { qputenv("PATH", savedPath); });
        qputenv("PATH", QFile::encodeName(bin.path()));
        FakeMessages messages;
        QVERIFY(SystemShellLauncher(&messages).openShortcut({}, u"/no/such/velmora.htm"_s, 0));
        QTRY_COMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts[0].endsWith(u"\n/no/such/velmora.htm"_s), qPrintable(messages.texts[0]));
        QVERIFY(script.remove());
        QVERIFY(!SystemFileManager(&messages).showFile(u"/no/such/list.csv"_s, 0));
        QCOMPARE(messages.texts.size(), 2);
        QVERIFY2(messages.texts[1].endsWith(u"\n/no/such"_s), qPrintable(messages.texts[1]));
        // The watched process is gone once its answer was handled.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_GUILESS_MAIN(tst_PosixFiles)
#include "tst_posixFiles.moc"
