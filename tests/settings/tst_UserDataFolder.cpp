// The per-user data folder chosen by "UserData.ini", the program's recorded path, and the folder
// helpers, all in temporary folders.
#include "app/Cp932.h"
#include "app/FileSystem.h"
#include "app/ProgramValues.h"
#include "common/FakeMsgBox.h"
#include "settings/FakeSpecialFolders.h"
#include "settings/PlatformSpecialFolders.h"
#include "settings/yIni.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kMissing = u" が見つかりません\r"_s;
const QString kUse = u"ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　"_s;
const QString kUsing = u" を使用します"_s;
const QString kUndefined = u" ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞが定義されていません\r"_s;
// Table rows name places below the temporary root with "@", and the default folder with "$default".
const QString kDefault = u"$default"_s;
const QString kNoFile = u"<no file>"_s;
const QString kNotCp932 = u"<not CP932>"_s;

} // namespace

class tst_UserDataFolder : public QObject {
    Q_OBJECT

private:
    QString root(const QString &rel = {}) const { return QDir::toNativeSeparators(m_dir->filePath(rel)); }
    QString bin() const { return root(u"bin"_s) + QDir::separator(); }
    QString defaultFolder() const { return root(u"config/Norvane/Velmora/"_s); }
    QString resolve(QString text) const
    {
        text = QDir::toNativeSeparators(text.replace(u'@', m_dir->path() + u'/'));
        return text.replace(kDefault, defaultFolder());
    }

    void writeChoice(const QString &text)
    {
        QFile file(bin() + u"UserData.ini"_s);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const auto bytes = Cp932::encode(text);
        QVERIFY(bytes);
        file.write(*bytes);
    }
    // W_UserData on a fresh instance; returns the folder it chose.
    QString run(qintptr owner = 0)
    {
        yIni ini(m_services);
        ini.W_UserData(owner);
        return Program::UserDataFolder;
    }
    QString recorded()
    {
        QSettings record(QSettings::NativeFormat, QSettings::UserScope, u"NorvaneTools"_s, u"Path"_s);
        return record.value(u"Velmora"_s).toString();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_settingsHome;
    FakeMsgBox m_msg;
    FakeSpecialFolders m_folders;
    yIniServices m_services;

private slots:
    void initTestCase()
    {
        QVERIFY(m_settingsHome.isValid());
        // The per-user record goes to a temporary place, never into the real configuration.
        qputenv("HOME", m_settingsHome.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_settingsHome.filePath(u"xdg-config"_s).toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_settingsHome.filePath(u"record"_s));
        Program::ExeBaseName = u"Velmora"_s;
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        for (const auto &folder : {u"bin"_s, u"config"_s, u"docs"_s})
            QVERIFY(QDir().mkpath(root(folder)));
        m_folders = FakeSpecialFolders();
        m_folders.set(26, root(u"config"_s));
        m_folders.set(5, root(u"docs"_s));
        m_msg.clear();
        m_services = {&m_msg, nullptr, &m_folders, nullptr, root(u"bin/Velmora"_s), {}};
        Program::UserDataFolder.clear();
    }
    void cleanup() { EnsureFso().setWriteFault({}); }

    void choiceFile_data()
    {
        QTest::addColumn<QString>("choice");   // the file's text
        QTest::addColumn<QString>("existing"); // a folder made beforehand
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("message"); // empty: none
        const QString appData = u"@config/Norvane/Velmora/"_s;
        const QString docs = u"@docs/Norvane/Velmora/"_s;
        const QString usingDefault = kUse + kDefault + kUsing;
        QTest::newRow("%usr%") << u"%usr%"_s << QString() << appData << QString();
        QTest::newRow("%applicaion data%") << u"%applicaion data%"_s << QString() << appData << QString();
        QTest::newRow("%APP% in capitals") << u"%APP%"_s << QString() << u"@bin/usData/"_s << QString();
        QTest::newRow("%app%") << u"%app%"_s << QString() << u"@bin/usData/"_s << QString();
        QTest::newRow("%doc") << u"%doc"_s << QString() << docs << QString();
        QTest::newRow("%My Document%") << u"%My Document%"_s << QString() << docs << QString();
        QTest::newRow("%documents% (misspelt)") << u"%documents%"_s << QString() << appData << QString();
        QTest::newRow("%docs") << u"%docs"_s << QString() << appData << QString();
        QTest::newRow("keyword and line break") << u"%app%\r\n"_s << QString() << appData << QString();
        // On a case-sensitive file system another letter case names another folder.
        QTest::newRow("folder keeps its letter case")
            << u"@Shared/MyData"_s << u"@Shared/MyData"_s << u"@Shared/MyData/"_s << QString();
        QTest::newRow("folder with its separator")
            << u"@Shared/MyData/"_s << u"@Shared/MyData"_s << u"@Shared/MyData/"_s << QString();
        QTest::newRow("Japanese folder name")
            << u"@住所データ"_s << u"@住所データ"_s << u"@住所データ/"_s << QString();
        QTest::newRow("missing folder, not made")
            << u"@Gone/There"_s << QString() << kDefault << u"ﾌｫﾙﾀﾞ @Gone/There"_s + kMissing + usingDefault;
        QTest::newRow("folder and line break")
            << u"@docs\r\n"_s << QString() << kDefault << u"ﾌｫﾙﾀﾞ @docs\r\n"_s + kMissing + usingDefault;
        QTest::newRow("no choice file")
            << kNoFile << QString() << kDefault << u"@bin/UserData.ini"_s + kMissing + usingDefault;
        QTest::newRow("empty") << QString() << QString() << kDefault << kUndefined + kDefault + kUsing;
        QTest::newRow("first line empty")
            << u"\r\n%app%"_s << QString() << kDefault << kUndefined + kDefault + kUsing;
        QTest::newRow("LF first") << u"\n%app%"_s << QString() << kDefault << kUndefined + kDefault + kUsing;
        QTest::newRow("not CP932") << kNotCp932 << QString() << kDefault << kUndefined + kDefault + kUsing;
    }
    void choiceFile()
    {
        QFETCH(QString, choice);
        QFETCH(QString, existing);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        if (!existing.isEmpty())
            QVERIFY(QDir().mkpath(resolve(existing)));
        if (choice == kNotCp932) {
            QFile file(bin() + u"UserData.ini"_s);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("\x81"); // a lead byte without its trail
        } else if (choice != kNoFile) {
            writeChoice(resolve(choice));
        }
        const QStringList messages = message.isEmpty() ? QStringList() : QStringList{resolve(message)};
        QCOMPARE(run(), resolve(folder));
        QVERIFY(QFileInfo(resolve(folder)).isDir());
        QCOMPARE(m_msg.texts(), messages);
        if (!message.isEmpty() && choice.startsWith(u'@'))
            QVERIFY(!QFileInfo::exists(resolve(choice)));
        // The same at every start.
        QCOMPARE(run(), resolve(folder));
        QCOMPARE(m_msg.texts(), messages + messages);
    }

    void noApplicationDataFolder()
    {
        m_folders.set(26, QString());
        writeChoice(u"%app%"_s);
        run();
        QCOMPARE(yIni(m_services).FsGtSpFld(26), QString());
        writeChoice(u"Nowhere at all"_s);
        // The default is then below the file system's root: keep it from being made there.
        EnsureFso().setWriteFault([&](const QString &p) { return !p.startsWith(root()); });
        run();
        const QString sep = QDir::separator();
        QVERIFY(m_msg.texts().constLast().contains(kUse + sep + u"Norvane"_s + sep + u"Velmora"_s + sep +
                                                   kUsing));
    }

    void programPathIsRecorded()
    {
        writeChoice(u"%usr%"_s);
        run();
        QCOMPARE(recorded(), root(u"bin/Velmora"_s));
        // Moved: rewritten at the next start.
        QVERIFY(QDir().mkpath(root(u"moved"_s)));
        m_services.exePath = root(u"moved/Velmora"_s);
        QFile::copy(bin() + u"UserData.ini"_s, root(u"moved/UserData.ini"_s));
        run();
        QCOMPARE(recorded(), root(u"moved/Velmora"_s));
        // A development build records the program it stands for, with its own extension.
        m_services.exePath = root(u"moved/Velmora_DV.exe"_s);
        run();
        QCOMPARE(recorded(), root(u"moved/Velmora.exe"_s));
#ifndef Q_OS_WIN
        // On a case-sensitive file system another letter case is another folder.
        m_services.exePath = root(u"MOVED/Velmora"_s);
        run();
        QCOMPARE(recorded(), root(u"MOVED/Velmora"_s));
#endif
    }

    void ownerWindowIsKeptAndPassedOnAlsoByTheSharedInstance()
    {
        writeChoice(u"%app%"_s);
        yIni ini(m_services);
        QCOMPARE(ini.ownerWnd(), qintptr(0));
        ini.W_UserData(4711);
        QCOMPARE(ini.ownerWnd(), qintptr(4711));
        QCOMPARE(m_folders.lastOwner(), qintptr(4711));
        QCOMPARE(ini.FsGtSpFld(5), root(u"docs"_s));
        QCOMPARE(ini.FsGtSpFld(77), QString());

        yIni::Install(m_services);
        Program::UserDataFolder.clear();
        yIni::Shared().W_UserData(9);
        QCOMPARE(yIni::Shared().ownerWnd(), qintptr(9));
        QCOMPARE(Program::UserDataFolder, root(u"bin/usData/"_s));
        yIni::ReleaseShared();
        QCOMPARE(yIni::Shared().ownerWnd(), qintptr(0));
        yIni::ReleaseShared();
        yIni::Install({});
    }

    void createFolderMakesEveryMissingLevel()
    {
        yIni ini(m_services);
        ini.F_CreateFld(root(u"one/two/three"_s));
        QVERIFY(QFileInfo(root(u"one/two/three"_s)).isDir());

        // With a trailing separator, and past a level that cannot be made (a file stands there).
        ini.F_CreateFld(root(u"a/b/c/"_s));
        QVERIFY(QFileInfo(root(u"a/b/c"_s)).isDir());
        QFile blocker(root(u"file"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ini.F_CreateFld(root(u"file/x/y"_s));
        QVERIFY(QFileInfo(root(u"file"_s)).isFile());

        // A level that fails is passed over; the outer ones are still made.
        EnsureFso().setWriteFault([&](const QString &p) { return p == root(u"p/q"_s); });
        ini.F_CreateFld(root(u"p/q/r"_s));
        EnsureFso().setWriteFault({});
        QVERIFY(QFileInfo(root(u"p"_s)).isDir());
        QVERIFY(!QFileInfo::exists(root(u"p/q"_s)));

        // A relative path starts at the current folder.
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(root()));
        ini.F_CreateFld(u"rel/sub"_s);
        QVERIFY(QDir::setCurrent(before));
        QVERIFY(QFileInfo(root(u"rel/sub"_s)).isDir());
    }

    void checkSubfoldersCreatesOneLevel()
    {
        yIni ini(m_services);
        const QString base = root(u"base"_s) + QDir::separator();
        QVERIFY(QDir().mkpath(base + u"Old"_s));
        ini.F_ChkSb(base, {u"Wrk"_s, u"Old"_s, u"Log"_s});
        QVERIFY(QFileInfo(base + u"Wrk"_s).isDir());
        QVERIFY(QFileInfo(base + u"Log"_s).isDir());
        // No separator is added, and a missing base makes nothing.
        ini.F_ChkSb(root(u"missing"_s) + QDir::separator(), {u"A"_s, u"B"_s});
        QVERIFY(!QFileInfo::exists(root(u"missing"_s)));
        ini.F_ChkSb(root(u"pre"_s), {u"fix"_s});
        QVERIFY(QFileInfo(root(u"prefix"_s)).isDir());
    }

    void platformSpecialFolders()
    {
        PlatformSpecialFolders folders;
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", home.filePath(u"cfg"_s).toLocal8Bit());
        qputenv("XDG_DATA_HOME", home.filePath(u"data"_s).toLocal8Bit());
        QCOMPARE(folders.path(26, 0), QDir::toNativeSeparators(home.filePath(u"cfg"_s)));
        QCOMPARE(folders.path(9, 0), QDir::toNativeSeparators(home.filePath(u"data/applications"_s)));
        QVERIFY(!folders.path(5, 0).isEmpty());
        QVERIFY(!folders.path(5, 0).endsWith(QDir::separator()));
        QCOMPARE(folders.path(3, 0), QString());
        qunsetenv("XDG_DATA_HOME");
        qputenv("XDG_CONFIG_HOME", m_settingsHome.filePath(u"xdg-config"_s).toLocal8Bit());
    }
};

QTEST_GUILESS_MAIN(tst_UserDataFolder)
#include "tst_UserDataFolder.moc"
