#include "MainWindowHarness.h"

#include "app/Cp932.h"
#include "app/FileSystem.h"
#include "app/ProgramValues.h"
#include "app/Usr.h"
#include "browser/uWeb.h"
#include "common/LocalHttpServer.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {
QByteArray readBytes(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Runs `step` on the request window as soon as it is shown.
void whenShown(std::function<void(fmMain &)> step)
{
    QTimer::singleShot(0, [step] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *main = qobject_cast<fmMain *>(w);
                main && main->isVisible() && main->button(5)->isEnabled()) {
                step(*main);
                // A failed check inside the step would leave the modal window waiting for ever.
                if (main->isVisible() && QTest::currentTestFailed())
                    main->hide();
                return;
            }
        }
        whenShown(step);
    });
}

void press(fmMain &w, Qt::Key key)
{
    QTest::keyClick(w.windowHandle(), key);
}
} // namespace

class tst_RequestMode : public QObject {
    Q_OBJECT
    LocalHttpServer m_server;
    QString mapUrl(const QString &q) const { return m_server.base() + "/maps?q=" + q + "&hl=ja&z=16"; }

private slots:
    void initTestCase() { QVERIFY(serveMapPages(m_server)); }

    void acceptWritesTheAnswerExactly()
    {
        MainWindowHarness h;
        const QString path = h.dir.filePath("order 1Velmo.txt");
        const QString map = mapUrl("x");
        writeBytes(path, *Cp932::encode("VelmoraA\t100-0001\t東京都千代田区\t会社\t" + map + "\t" + map +
                                        "\tfield7"));
        bool checked = false;
        whenShown([&](fmMain &w) {
            QCOMPARE(w.button(6)->text(), QString("MAP URL取込(&F9)"));
            QVERIFY(!w.button(6)->isEnabled());
            QVERIFY(w.button(5)->isEnabled());
            QCOMPARE(w.grid()->item(0, 1)->text(), QString("東京都千代田区"));
            checked = true;
            press(w, Qt::Key_F9); // accepts although the button is disabled
        });
        auto window = Usr::Main(path, h.services());
        QVERIFY(checked);
        QVERIFY(!window->isVisible());
        QCOMPARE(readBytes(path), *Cp932::encode("VelmoraA\t100-0001\t東京都千代田区\t会社\t" + map + "\t0"));
        QVERIFY(!h.clipboard.content); // accepting does not touch the clipboard
        // F9 hides the window; it is closed only after the settings were let go, so its place is
        // not saved.
        QCOMPARE(readBytes(h.dir.filePath("config/Norvane/velmora/User.xml")), QByteArray());
    }

    void changesRaiseTheFlag()
    {
        MainWindowHarness h;
        const QString path = h.dir.filePath("bVelmo.txt");
        // A line break after field 6 belongs to it; field 5 of another site is refused.
        writeBytes(path, "VelmoraA\t\t\t\thttp://example.invalid/maps\t\r\n");
        whenShown([&](fmMain &w) {
            QCOMPARE(w.grid()->item(0, 3)->text(), QString());
            w.ClipEvent("(35.6, 139.7)");
            press(w, Qt::Key_F9);
        });
        Usr::Main(path, h.services());
        QCOMPARE(readBytes(path), ("VelmoraA\t\t\t\t" + mapUrl("35.6,+139.7") + "\t1").toLatin1());
    }

    void showsTheRequestedMap()
    {
        MainWindowHarness h;
        const QString path = h.dir.filePath("cVelmo.txt");
        writeBytes(path, *Cp932::encode("VelmoraA\t100-0001\t\t\t\t"));
        whenShown([&](fmMain &w) {
            QTRY_COMPARE_WITH_TIMEOUT(w.web()->CurURL(), mapUrl("%E3%80%92100-0001"), 20000);
            press(w, Qt::Key_F12);
        });
        const QByteArray before = readBytes(path);
        Usr::Main(path, h.services());
        QCOMPARE(readBytes(path), before);
    }

    void closeBoxCancelsAndFewFieldsAreServed()
    {
        MainWindowHarness h;
        const QString path = h.dir.filePath("dVelmo.txt");
        writeBytes(path, "VelmoraA\t123");
        whenShown([&](fmMain &w) {
            QCOMPARE(w.grid()->item(0, 0)->text(), QString("123"));
            w.close();
        });
        Usr::Main(path, h.services());
        QCOMPARE(readBytes(path), QByteArray("VelmoraA\t123"));
        // Closed by its close box, the window saves its place as in normal use.
        QVERIFY(readBytes(h.dir.filePath("config/Norvane/velmora/User.xml")).contains("<HEIGHT>"));
    }

    void characterOutsideShiftJisKeepsTheWindowOpen()
    {
        MainWindowHarness h;
        const QString path = h.dir.filePath("eVelmo.txt");
        writeBytes(path, "VelmoraA\t\t\t\t\t");
        whenShown([&](fmMain &w) {
            w.grid()->item(0, 2)->setText(QString::fromUtf8("𠮷野家"));
            press(w, Qt::Key_F9);
            QVERIFY(w.isVisible());
            QCOMPARE(h.msgBox.texts().size(), 1);
            QVERIFY(h.msgBox.texts().first().contains(QString::fromUtf8("𠮷")));
            w.grid()->item(0, 2)->setText("吉野家");
            press(w, Qt::Key_F9);
        });
        Usr::Main(path, h.services());
        QCOMPARE(readBytes(path), *Cp932::encode("VelmoraA\t\t\t吉野家\t\t1"));
    }

    void failedWriteKeepsTheRequestAndEnds()
    {
        MainWindowHarness h;
        const QString path = h.dir.filePath("fVelmo.txt");
        writeBytes(path, "VelmoraA\t1\t2\t3\t\t");
        EnsureFso().setWriteFault([](const QString &p) { return p.endsWith("fVelmo.txt"); });
        whenShown([&](fmMain &w) { press(w, Qt::Key_F9); });
        auto window = Usr::Main(path, h.services());
        EnsureFso().setWriteFault(nullptr);
        QCOMPARE(readBytes(path), QByteArray("VelmoraA\t1\t2\t3\t\t"));
        QVERIFY(h.msgBox.texts().last().startsWith("依頼ファイルに回答を書き込めませんでした"));
        QVERIFY(!window->isVisible());
        QCOMPARE(QDir(h.dir.path()).entryList({"fVelmo*"}, QDir::Files), QStringList{"fVelmo.txt"});
    }

    void otherArgumentsStartInteractively()
    {
        MainWindowHarness h;
        const QString path = h.dir.filePath("gvelmo.txt");
        writeBytes(path, "VelmoraA\t\t\t\t\t");
        auto window = Usr::Main(path, h.services());
        QVERIFY(window->isVisible());
        QVERIFY(!window->isRequestMode());
        QCOMPARE(window->button(6)->text(), QString("CLIP BOARD(&F9)"));
        window->close();
        QCOMPARE(readBytes(path), QByteArray("VelmoraA\t\t\t\t\t"));
    }
};

QTEST_MAIN(tst_RequestMode)
#include "tst_RequestMode.moc"
