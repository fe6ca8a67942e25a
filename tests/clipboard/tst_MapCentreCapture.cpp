// The map-centre command end to end on a real X clipboard: the prompt box, copies made in it as a
// user would and by another program, and copies made while no box is open.
#include "../app/MainWindowHarness.h"

#include "app/ProgramValues.h"
#include "browser/PromptDialog.h"
#include "browser/uWeb.h"
#include "clipboard/QtClipboard.h"
#include "common/LocalHttpServer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QWindow>

namespace {

// Another program's copy: xclip takes the X clipboard and serves it from the background.
bool copyWithXclip(const QString &text)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!xclip.waitForStarted(5000))
        return false;
    xclip.write(text.toUtf8());
    xclip.closeWriteChannel();
    return xclip.waitForFinished(5000) && xclip.exitCode() == 0;
}

const QByteArray kClassicPage = R"html(<html><head><script>
var gApplication = {getMap: function() { return {getCenter: function() {
    return {toString: function() { return "(35.681382, 139.766084)"; }}; }}; }};
</script></head><body>classic map</body></html>)html";

} // namespace

class tst_MapCentreCapture : public QObject {
    Q_OBJECT
    LocalHttpServer m_server;

    QString mapUrl(const QString &q) const { return m_server.base() + "/maps?q=" + q + "&hl=ja&z=16"; }

    // Presses F8 and hands the prompt box to `inBox` while it is open; returns once F8 is done.
    void pressF8(fmMain &w, std::function<void(PromptDialog &)> inBox, bool *opened)
    {
        *opened = false;
        const auto c = connect(w.web(), &uWeb::promptShown, this, [&, inBox](PromptDialog *box) {
            *opened = true;
            inBox(*box);
            if (box->isVisible())
                box->accept();
        });
        QTest::keyClick(w.windowHandle(), Qt::Key_F8);
        disconnect(c);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(serveMapPages(m_server));
        m_server.addPage("/maps", kClassicPage);
        m_server.addPage("/maps/@35.6581,139.7017,16z", "<html><body>today's map</body></html>");
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs a real X server");
    }

    void keysBeforeTheEngineIsUp()
    {
        // On a real display the window is drawn through OpenGL once the browser is there; a window
        // created otherwise would be replaced under a key press that brings the browser up.
        MainWindowHarness h;
        QtClipboard clipboard;
        fmMain w({&h.msgBox, &h.addresses, &clipboard});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.web()->isEngineReady());
        QWindow *window = w.windowHandle();
        w.grid()->item(0, 0)->setText("100-0001");
        QTest::keyClick(window, Qt::Key_F6);
        QCOMPARE(w.windowHandle(), window);
        QTRY_COMPARE_WITH_TIMEOUT(w.web()->CurURL(), mapUrl("%E3%80%92100-0001"), 20000);
    }

    void copyFromTheBoxOnTheClassicPage()
    {
        MainWindowHarness h;
        QtClipboard clipboard;
        fmMain w({&h.msgBox, &h.addresses, &clipboard});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.grid()->item(0, 1)->setText("東京駅");
        QTest::keyClick(w.windowHandle(), Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(w.web()->CurURL().startsWith(m_server.base() + "/maps?q="), 20000);
        w.grid()->blockSignals(true);
        QTest::keyClick(w.windowHandle(), Qt::Key_F2);
        w.grid()->blockSignals(false);
        QVERIFY(!w.button(6)->isEnabled());

        bool opened = false;
        QString shown;
        pressF8(
            w,
            [&](PromptDialog &box) {
                shown = box.value();
                QVERIFY(w.clipWatch().isOn());
                // The value stands selected: Ctrl+C in the box copies all of it.
                QTest::keyClick(box.valueEdit(), Qt::Key_C, Qt::ControlModifier);
                QTRY_COMPARE(w.record().MapURL, mapUrl("35.681382,+139.766084"));
            },
            &opened);
        QVERIFY(opened);
        QCOMPARE(shown, QString("(35.681382, 139.766084)"));
        QVERIFY(!w.clipWatch().isOn());
        QCOMPARE(w.grid()->item(0, 3)->text(), mapUrl("35.681382,+139.766084"));
        QCOMPARE(w.web()->txURL()->text(), mapUrl("35.681382,+139.766084"));
        QVERIFY(w.button(6)->isEnabled());

        // Closed box: a copy changes nothing.
        QVERIFY(copyWithXclip("(1.5, 2.5)"));
        QTest::qWait(500);
        QCOMPARE(w.grid()->item(0, 3)->text(), mapUrl("35.681382,+139.766084"));
    }

    void copyFromAnotherProgramOnTodaysPage()
    {
        MainWindowHarness h;
        QtClipboard clipboard;
        fmMain w({&h.msgBox, &h.addresses, &clipboard});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.web()->setURL(m_server.base() + "/maps/@35.6581,139.7017,16z");
        QTRY_VERIFY_WITH_TIMEOUT(w.web()->CurURL().contains("/@35.6581,139.7017,16z"), 20000);

        // What is on the clipboard when the box opens is never taken.
        QVERIFY(copyWithXclip("(3.5, 4.5)"));
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), QString("(3.5, 4.5)"));
        // The X server tells of a new owner a moment later; a person takes longer to press F8.
        QTest::qWait(300);
        bool opened = false;
        QString shown;
        pressF8(
            w,
            [&](PromptDialog &box) {
                shown = box.value();
                QTest::qWait(300);
                QCOMPARE(w.record().MapURL, QString());
            },
            &opened);
        QVERIFY(opened);
        QCOMPARE(shown, QString("(35.6581, 139.7017)"));
        QCOMPARE(w.grid()->item(0, 3)->text(), QString());

        // Another program copies while the box is open: taken, whatever the box shows.
        pressF8(
            w,
            [&](PromptDialog &) {
                QVERIFY(copyWithXclip("(35.6581, 139.7017)"));
                QTRY_COMPARE(w.record().MapURL, mapUrl("35.6581,+139.7017"));
            },
            &opened);
        QVERIFY(opened);
        QCOMPARE(w.grid()->item(0, 3)->text(), mapUrl("35.6581,+139.7017"));
        QVERIFY(!w.clipWatch().isOn());
    }

    void noBoxWithoutAMap()
    {
        MainWindowHarness h;
        QtClipboard clipboard;
        fmMain w({&h.msgBox, &h.addresses, &clipboard});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.web()->setURL(m_server.base() + "/plain");
        QTRY_VERIFY_WITH_TIMEOUT(w.web()->CurURL().endsWith("/plain"), 20000);
        bool opened = false;
        pressF8(
            w, [](PromptDialog &) {}, &opened);
        QVERIFY(!opened);
        QVERIFY(!w.clipWatch().isOn());
        QCOMPARE(w.grid()->item(0, 3)->text(), QString());
    }
};

QTEST_MAIN(tst_MapCentreCapture)
#include "tst_MapCentreCapture.moc"
