// Help page, HTML viewer and Send To shortcuts and folder explore: real shortcut files in temporary
// folders, a recording launcher in place of the user's default handlers.
#include "app/FileSystem.h"
#include "app/ProgramValues.h"
#include "common/FakeMsgBox.h"
#include "settings/FakeSpecialFolders.h"
#include "settings/yIni.h"
#include "shell/FakeShellLauncher.h"
#include "shell/PlatformShortcutWriter.h"
#include "shell/ShellTarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kBase = u"file:///opt/velmora/help/"_s;

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : u"<missing>"_s;
}

QString linkTo(const QString &target)
{
    return u"\nURL="_s + target + u'\n';
}

} // namespace

class tst_ShellOperations : public QObject {
    Q_OBJECT

private:
    QString root(const QString &rel = {}) const { return QDir::toNativeSeparators(m_dir->filePath(rel)); }
    QString userData() const { return root(u"user"_s) + QDir::separator(); }
    QString helpShortcut() const { return userData() + u"Velmora_help.desktop"_s; }
    QString fileUrl(const QString &path) const
    {
        return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_home;
    FakeMsgBox m_msg;
    FakeSpecialFolders m_folders;
    FakeShellLauncher m_launcher;
    PlatformShortcutWriter m_shortcuts;
    yIniServices m_services;

private slots:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.filePath(u"record"_s));
        qunsetenv("VELMORA_HELP_BASE");
        Program::ExeBaseName = u"Velmora"_s;
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        for (const QString &folder : {userData(), root(u"bin"_s), root(u"sendto"_s)})
            QVERIFY(QDir().mkpath(folder));
        Program::UserDataFolder = userData();
        m_launcher = FakeShellLauncher();
        m_folders = FakeSpecialFolders();
        m_folders.set(9, root(u"sendto"_s));
        m_folders.set(26, root(u"config"_s));
        m_msg.clear();
        m_services = {&m_msg, &m_launcher, &m_folders, &m_shortcuts, root(u"bin/Velmora"_s), kBase};
        EnsureFso().setWriteFault({});
    }
    void cleanup()
    {
        qunsetenv("VELMORA_HELP_BASE");
        EnsureFso().setWriteFault({});
    }

    void helpPageNaming_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QByteArray>("base"); // VELMORA_HELP_BASE, none when empty
        QTest::addColumn<QString>("target");
        QTest::newRow("plain") << u"velmora"_s << QByteArray() << kBase + u"velmora.htm"_s;
        QTest::newRow("mixed case") << u"Velmora"_s << QByteArray() << kBase + u"velmora.htm"_s;
        QTest::newRow("upper case") << u"VELMORA"_s << QByteArray() << kBase + u"velmora.htm"_s;
        QTest::newRow("own extension") << u"Guide.HTML"_s << QByteArray() << kBase + u"guide.html"_s;
        QTest::newRow("dot anywhere") << u"v1.2/Start"_s << QByteArray() << kBase + u"v1.2/start"_s;
        QTest::newRow("trailing dot") << u"page."_s << QByteArray() << kBase + u"page."_s;
        QTest::newRow("base from the environment") << u"Velmora"_s << QByteArray("http://127.0.0.1:8123/docs")
                                                   << u"http://127.0.0.1:8123/docs/velmora.htm"_s;
    }
    void helpPageNaming()
    {
        QFETCH(QString, page);
        QFETCH(QByteArray, base);
        QFETCH(QString, target);
        if (!base.isEmpty())
            qputenv("VELMORA_HELP_BASE", base);
        // An earlier shortcut is replaced, not kept.
        QVERIFY(m_shortcuts.write(helpShortcut(), u"https://example.invalid/stale"_s));
        yIni ini(m_services);
        QCOMPARE(ini.W_Help(page), QVariant(true));
        QCOMPARE(m_launcher.calls().size(), 1);
        const auto call = m_launcher.calls().constFirst();
        QCOMPARE(call.verb, u"shortcut"_s);
        QCOMPARE(call.path, helpShortcut());
        QCOMPARE(call.target, target);
        QCOMPARE(readText(helpShortcut()),
                 u"[Desktop Entry]\nType=Link\nName=Velmora_help"_s + linkTo(target));
        QVERIFY(m_msg.texts().isEmpty());
    }

    void ownerWindowGoesWithEveryCall()
    {
        yIni ini(m_services);
        ini.W_UserData(321);
        Program::UserDataFolder = userData();
        ini.W_Help(u"velmora"_s);
        ini.W_ExpFd(root(u"bin"_s), true);
        QCOMPARE(m_launcher.calls().size(), 2);
        for (const auto &call : m_launcher.calls())
            QCOMPARE(call.owner, qintptr(321));
    }

    void helpFailuresEndQuietly()
    {
        // The shortcut cannot be written: nothing opens, no value, no message.
        EnsureFso().setWriteFault([&](const QString &p) { return p == helpShortcut(); });
        yIni ini(m_services);
        QCOMPARE(ini.W_Help(u"velmora"_s), QVariant());
        EnsureFso().setWriteFault({});

        // No user data folder yet.
        Program::UserDataFolder.clear();
        QCOMPARE(ini.W_Help(u"velmora"_s), QVariant());
        QVERIFY(m_launcher.calls().isEmpty());
        Program::UserDataFolder = userData();

        // The handler's own answer is handed back, not judged.
        m_launcher.setResult(false);
        QCOMPARE(ini.W_Help(u"velmora"_s), QVariant(false));
        QVERIFY(m_msg.texts().isEmpty());

        // No platform services at all.
        yIni bare(yIniServices{});
        QCOMPARE(bare.W_Help(u"velmora"_s), QVariant());
        bare.W_SendTo();
        bare.W_ExpFd(root(), true);
    }

    void htmlViewerShortcut()
    {
        yIni ini(m_services);
        const QString shortcut = userData() + u"Wrk"_s + QDir::separator() + u"htm_view.desktop"_s;
        // The Wrk folder is not made here.
        QCOMPARE(ini.W_HtmView(u"https://example.invalid/a b?x=1"_s), QVariant());
        QVERIFY(m_launcher.calls().isEmpty());

        ini.F_ChkSb(userData(), {u"Wrk"_s});
        QCOMPARE(ini.W_HtmView(u"https://example.invalid/page?x=1"_s), QVariant(true));
        QCOMPARE(m_launcher.calls().constFirst().path, shortcut);
        QCOMPARE(m_launcher.calls().constFirst().target, u"https://example.invalid/page?x=1"_s);
        QVERIFY(readText(shortcut).contains(linkTo(u"https://example.invalid/page?x=1"_s)));

        // A local file, replacing the previous shortcut.
        const QString page = root(u"report 1.htm"_s);
        ini.W_HtmView(page);
        QCOMPARE(m_launcher.calls().constLast().target, page);
        QVERIFY(readText(shortcut).contains(linkTo(fileUrl(page))));
        QVERIFY(!readText(shortcut).contains(u"example.invalid"_s));
    }

    void sendToShortcut()
    {
        yIni ini(m_services);
        ini.W_SendTo();
        const QString program = root(u"bin/Velmora"_s);
        QVERIFY(readText(root(u"sendto/Velmora.desktop"_s)).contains(linkTo(fileUrl(program))));
        QCOMPARE(m_msg.texts(),
                 QStringList{program + u" のｼｮｰﾄｶｯﾄを "_s + root(u"sendto"_s) + u" に作成しました"_s});
        QVERIFY(m_launcher.calls().isEmpty());

        // No Send To folder, or it cannot be written: no shortcut and no message.
        m_msg.clear();
        m_folders.set(9, QString());
        ini.W_SendTo();
        m_folders.set(9, root(u"no such folder"_s));
        ini.W_SendTo();
        QVERIFY(m_msg.texts().isEmpty());
    }

    void exploreFolder()
    {
        yIni ini(m_services);
        // Nothing given, or a folder to explore that is missing: the handler is not called.
        ini.W_ExpFd(QString(), true);
        ini.W_ExpFd(QString(), false);
        ini.W_ExpFd(root(u"missing"_s), false);
        QVERIFY(m_launcher.calls().isEmpty());
        ini.W_ExpFd(root(u"bin"_s), false);
        // Opening is left to the handler, whether the folder exists or not.
        ini.W_ExpFd(root(u"missing"_s), true);
        QCOMPARE(m_launcher.calls().size(), 2);
        QCOMPARE(m_launcher.calls()[0].verb + m_launcher.calls()[0].path, u"explore"_s + root(u"bin"_s));
        QCOMPARE(m_launcher.calls()[1].verb + m_launcher.calls()[1].path, u"open"_s + root(u"missing"_s));
        QVERIFY(m_msg.texts().isEmpty());
    }

    void shellTargetsAndShortcutNames()
    {
        QCOMPARE(ShellTarget::toUrl(u"https://example.invalid/x"_s), QUrl(u"https://example.invalid/x"_s));
        QCOMPARE(ShellTarget::toUrl(u"file:///tmp/a.htm"_s), QUrl(u"file:///tmp/a.htm"_s));
        QCOMPARE(ShellTarget::toUrl(root(u"a.htm"_s)),
                 QUrl::fromLocalFile(QDir::fromNativeSeparators(root(u"a.htm"_s))));
        // A drive letter is no scheme.
        QVERIFY(ShellTarget::toUrl(u"C:\\help\\a.htm"_s).isLocalFile());

        const QString odd = root(u"odd\\name.desktop"_s);
        QVERIFY(m_shortcuts.write(odd, u"https://example.invalid/"_s));
        QVERIFY(readText(odd).contains(u"Name=odd\\\\name\n"_s));
    }

    void helpPageAndChoiceFileShipBesideTheExecutable()
    {
        const QString dir = QCoreApplication::applicationDirPath();
        const QString page = readText(dir + u"/velmora.htm"_s);
        for (const auto &key :
             {u"F2"_s, u"F4"_s, u"F5"_s, u"F6"_s, u"F7"_s, u"F8"_s, u"F9"_s, u"F10"_s, u"F12"_s})
            QVERIFY2(page.contains(u"<td>"_s + key + u"</td>"_s), qPrintable(key));
        for (const auto &text : {u"UserData.ini"_s, u"VelmoraA"_s, u"Velmo.txt"_s, u"lang=\"ja\""_s})
            QVERIFY2(page.contains(text), qPrintable(text));
        QFile choice(dir + u"/UserData.ini"_s);
        QVERIFY(choice.open(QIODevice::ReadOnly));
        QCOMPARE(choice.readAll(), QByteArray("%usr%"));
    }
};

QTEST_GUILESS_MAIN(tst_ShellOperations)
#include "tst_ShellOperations.moc"
