// The real platform pieces main.cpp installs: they point at the help page installed beside the
// executable and make shortcuts of this platform's kind.
#include "common/FakeMsgBox.h"
#include "settings/yIni.h"
#include "shell/ShortcutWriter.h"

#include <QCoreApplication>
#include <QTest>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

class tst_ShellPlatform : public QObject {
    Q_OBJECT

private slots:
    void defaultServicesPointAtTheInstalledHelp()
    {
        FakeMsgBox msg;
        const yIniServices services = yIni::defaultServices(msg);
        QCOMPARE(services.msgBox, static_cast<MsgBox *>(&msg));
        QVERIFY(services.launcher && services.folders && services.shortcuts);
        QCOMPARE(services.exePath, QCoreApplication::applicationFilePath());
        QVERIFY(services.helpBase.startsWith(u"file:///"_s));
        QVERIFY(services.helpBase.endsWith(u'/'));
        QCOMPARE(QUrl(services.helpBase).toLocalFile(), QCoreApplication::applicationDirPath() + u'/');
        QVERIFY(QFile::exists(QUrl(services.helpBase + u"velmora.htm"_s).toLocalFile()));
#ifdef Q_OS_WIN
        QCOMPARE(services.shortcuts->fileSuffix(), u".lnk"_s);
#else
        QCOMPARE(services.shortcuts->fileSuffix(), u".desktop"_s);
#endif
    }
};

QTEST_GUILESS_MAIN(tst_ShellPlatform)
#include "tst_ShellPlatform.moc"
