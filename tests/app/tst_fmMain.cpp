#include "MainWindowHarness.h"

#include "app/Cp932.h"
#include "app/ProgramValues.h"
#include "browser/Twips.h"
#include "browser/uWeb.h"
#include "common/LocalHttpServer.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QWindow>

namespace {
const char *const kCaptions[9] = {"初期化 (&F2)",         "住所検索  (&F4)",  "地図住所検索  (&F5)",
                                  "地図〒番号検索 (&F6)", "会社等で検索(F7)", "緯度･経度を表示(F8)",
                                  "CLIP BOARD(&F9)",      "ﾍﾙﾌﾟ(&F10)",       "終了(&F12)"};
const int kLefts[9] = {-15, 1785, 3585, 5385, 7185, 8985, 10785, 12585, 14400};

void press(fmMain &w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(w.windowHandle(), key, mods);
}
} // namespace

class tst_fmMain : public QObject {
    Q_OBJECT
    LocalHttpServer m_server;

private slots:
    void initTestCase() { QVERIFY(serveMapPages(m_server)); }

    void opensWithItsDesign()
    {
        MainWindowHarness h;
        h.addresses.answer = [](QString &, QString &, QString &) {};
        fmMain w(h.services());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QString("住所･郵便番号･緯度･経度を調べる (Google 測地系=wgs84)"));
        QCOMPARE(h.addresses.lastName, QString("Adrolex.cAdd"));
        const double dpi = w.dpi();
        const QStringList tips = {"住所又は郵便番号から地図を検索します",
                                  "住所又は郵便番号から地図を検索します",
                                  "GoogleMapのｻｲﾄで住所から検索します",
                                  "GoogleMapのｻｲﾄで郵便番号から検索します",
                                  "GoogleMapのｻｲﾄで会社等から検索します",
                                  "",
                                  "",
                                  "",
                                  ""};
        for (int i = 0; i < 9; ++i) {
            QPushButton *b = w.button(i);
            QCOMPARE(b->text(), QString::fromUtf8(kCaptions[i]));
            QCOMPARE(b->toolTip(), tips[i]);
            QCOMPARE(b->isEnabled(), i != 5 && i != 6);
            QCOMPARE(b->geometry(), QRect(Twips::toPixels(kLefts[i], dpi), Twips::toPixels(-15, dpi),
                                          Twips::toPixels(1800, dpi), Twips::toPixels(315, dpi)));
        }
        QCOMPARE(w.size(), QSize(Twips::toPixels(16260, dpi), Twips::toPixels(7485, dpi)));
        QTableWidget *grid = w.grid();
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(grid->columnCount(), 4);
        QStringList headers;
        for (int c = 0; c < 4; ++c)
            headers << grid->horizontalHeaderItem(c)->text();
        QCOMPARE(headers, (QStringList{"郵便番号", "住所", "会社等", "MAP URL"}));
        QCOMPARE(grid->geometry().topLeft(), QPoint(Twips::toPixels(-30, dpi), Twips::toPixels(330, dpi)));
        QVERIFY(grid->columnWidth(3) > grid->columnWidth(1));
        QVERIFY(grid->columnWidth(1) > grid->columnWidth(2));
        QVERIFY(grid->columnWidth(2) > grid->columnWidth(0));
        QCOMPARE(w.findChild<QStatusBar *>()->findChildren<QLabel *>().size(), 3);
        QTRY_VERIFY(grid->hasFocus() || grid->isAncestorOf(QApplication::focusWidget()));

        // Tab order follows the design's tab indexes; the browser panel sits between F6 and F7.
        QList<QWidget *> expected = {grid,        w.button(2), w.button(6), w.button(1), w.button(3),
                                     w.button(4), w.button(5), w.button(7), w.button(0), w.button(8)};
        QList<QWidget *> seen;
        bool panelSeen = false;
        QWidget *next = grid;
        for (int guard = 0; guard < 200 && seen.size() < expected.size();
             ++guard, next = next->nextInFocusChain()) {
            if (expected.contains(next) && !seen.contains(next)) {
                if (next == w.button(4))
                    QVERIFY2(panelSeen, "the panel comes before F7");
                seen << next;
            }
            if (w.web()->isAncestorOf(next) && seen.contains(w.button(3)) && !seen.contains(w.button(4)))
                panelSeen = true;
        }
        QCOMPARE(seen, expected);
        // The panel opens at about:blank: an empty box, no current URL.
        QTRY_VERIFY_WITH_TIMEOUT(w.web()->isEngineReady(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(w.web()->txURL()->text(), QString(), 20000);
        QCOMPARE(w.web()->CurURL(), QString());
    }

    void laysOutPanelAndStatusBar()
    {
        MainWindowHarness h;
        fmMain w(h.services());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const double dpi = w.dpi();
        const auto statusBar = w.findChild<QStatusBar *>();
        for (const QSize size : {QSize(900, 500), QSize(1300, 700), QSize(700, Twips::toPixels(1680, dpi))}) {
            w.resize(size);
            QCoreApplication::processEvents();
            const int top = w.web()->y();
            QCOMPARE(w.web()->geometry().x(), 0);
            QCOMPARE(w.web()->width(), size.width());
            QVERIFY(qAbs(w.web()->height() - (size.height() - top - statusBar->height())) <= 1);
            QCOMPARE(statusBar->width(), size.width());
            QVERIFY(qAbs(statusBar->geometry().bottom() + 1 - size.height()) <= 1);
        }
        // Exactly the fixed rows high: the panel has no height left, the status bar stays at the bottom.
        QVERIFY(w.web()->height() <= 1);
        // Minimized, nothing is laid out; restored, the layout is done again.
        w.resize(1000, 600);
        QCoreApplication::processEvents();
        w.showMinimized();
        QCoreApplication::processEvents();
        w.showNormal();
        QCoreApplication::processEvents();
        QCOMPARE(w.web()->width(), w.width());
    }

    void gridEditsEnableTheCopyButton()
    {
        MainWindowHarness h;
        fmMain w(h.services());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.button(6)->isEnabled());
        w.grid()->item(0, 1)->setText("東京都"); // what the user's edit does to the cell
        QVERIFY(w.button(6)->isEnabled());
        press(w, Qt::Key_F2);
        QVERIFY(!w.button(6)->isEnabled());
        QCOMPARE(w.grid()->item(0, 1)->text(), QString());
        QVERIFY(!w.isUpdating());
        // Typing into a cell reaches the record at once, before the editor closes.
        w.grid()->setCurrentCell(0, 2);
        w.grid()->setFocus();
        for (char c : {'A', 'B', 'C'})
            QTest::keyClick(w.windowHandle(), c);
        QTRY_COMPARE(w.grid()->item(0, 2)->text(), QString("ABC"));
        QVERIFY(w.button(6)->isEnabled());
        press(w, Qt::Key_F9);
        QCOMPARE(h.clipboard.content.value_or("<none>"), QString("\t\tABC\t"));
    }

    void mapUrlCellOpensItsUrl()
    {
        MainWindowHarness h;
        fmMain w(h.services());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTableWidget *grid = w.grid();
        const auto cellCenter = [grid, &w](int c) {
            return grid->viewport()->mapTo(&w, grid->visualRect(grid->model()->index(0, c)).center());
        };
        // Empty MAP URL cell, or another column: nothing is opened.
        QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, {}, cellCenter(3));
        grid->item(0, 0)->setText(m_server.base() + "/maps?q=zero");
        QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, {}, cellCenter(0));
        QTest::qWait(300);
        QVERIFY(!m_server.requests().contains("/maps?q=zero"));
        const QString url = m_server.base() + "/maps?q=cell";
        grid->item(0, 3)->setText(url);
        QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, {}, cellCenter(3));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requests().contains("/maps?q=cell"), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(w.web()->CurURL(), url, 20000);
    }

    void functionKeysRunTheirCommands()
    {
        MainWindowHarness h;
        fmMain w(h.services());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        h.msgBox.clear();
        // No component: F4 is disabled and does nothing, not even the status text.
        QVERIFY(!w.button(1)->isEnabled());
        press(w, Qt::Key_F4);
        QCOMPARE(w.statusText(0), QString());
        // F3, F11 and F1 run nothing.
        for (Qt::Key key : {Qt::Key_F1, Qt::Key_F3, Qt::Key_F11, Qt::Key_Escape})
            press(w, key);
        QVERIFY(!h.clipboard.content);
        QVERIFY(h.msgBox.texts().isEmpty());
        // F9 copies although its button is disabled: four empty fields are three tabs.
        press(w, Qt::Key_F9, Qt::ControlModifier);
        QCOMPARE(h.clipboard.content.value_or("<none>"), QString("\t\t\t"));
        QCOMPARE(h.msgBox.texts(), QStringList{"クリップボードに住所情報を貼り付けました"});
        // A clipboard another program holds: the user is told, nothing ends.
        h.clipboard.held = true;
        press(w, Qt::Key_F9);
        QCOMPARE(h.msgBox.texts().size(), 2);
        h.clipboard.held = false;

        // Shift+F5 searches the address; F8 becomes enabled.
        w.grid()->item(0, 1)->setText("東京都  千代田区");
        press(w, Qt::Key_F5, Qt::ShiftModifier);
        QVERIFY(w.button(5)->isEnabled());
        const QString expected =
            m_server.base() +
            "/maps?q=%E6%9D%B1%E4%BA%AC%E9%83%BD+%E5%8D%83%E4%BB%A3%E7%94%B0%E5%8C%BA&hl=ja&z=16";
        QTRY_COMPARE_WITH_TIMEOUT(w.web()->CurURL(), expected, 20000);
        // F6 the postal code, F7 company and address.
        w.grid()->item(0, 0)->setText("100-0001");
        press(w, Qt::Key_F6, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(w.web()->CurURL(), m_server.base() + "/maps?q=%E3%80%92100-0001&hl=ja&z=16",
                                  20000);
        press(w, Qt::Key_F7);
        QTRY_VERIFY_WITH_TIMEOUT(w.web()->CurURL().startsWith(m_server.base() + "/maps?q=+%E6%9D%B1"), 20000);
        // F8 on a page with no map opens no box and leaves the watch off.
        press(w, Qt::Key_F8);
        QVERIFY(!w.clipWatch().isOn());
        // F12 closes the window and saves its place.
        press(w, Qt::Key_F12);
        QVERIFY(!w.isVisible());
    }

    void addressSearchCompletesTheRecord()
    {
        MainWindowHarness h;
        int round = 0;
        h.addresses.answer = [&round](QString &code, QString &address, QString &company) {
            ++round;
            if (round == 2)
                throw std::runtime_error("component failed");
            if (code == "100-0001") {
                address = "東京都千代田区千代田";
                company = company.isEmpty() ? QString("皇居") : company;
            }
        };
        fmMain w(h.services());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        h.msgBox.clear();
        QVERIFY(w.button(1)->isEnabled());
        press(w, Qt::Key_F4); // empty grid: still asked, finds nothing
        QCOMPARE(h.addresses.component->calls, 1);
        QCOMPARE(h.addresses.component->lastMode, 1);
        QCOMPARE(w.statusText(0), QString("対象が見つかりません"));
        press(w, Qt::Key_F4); // the component fails: told, the window goes on
        QCOMPARE(h.msgBox.texts().size(), 1);
        w.grid()->item(0, 0)->setText("100-0001");
        press(w, Qt::Key_F2);
        w.grid()->item(0, 0)->setText("100-0001");
        QVERIFY(w.button(6)->isEnabled());
        press(w, Qt::Key_F2);
        QVERIFY(!w.button(6)->isEnabled());
        w.grid()->blockSignals(true);
        w.grid()->item(0, 0)->setText("100-0001");
        w.grid()->blockSignals(false);
        press(w, Qt::Key_F4);
        QCOMPARE(w.grid()->item(0, 1)->text(), QString("東京都千代田区千代田"));
        QCOMPARE(w.grid()->item(0, 2)->text(), QString("皇居"));
        QVERIFY(w.button(6)->isEnabled());
        QCOMPARE(w.grid()->currentColumn(), 2);
        // The earlier "not found" stays.
        QCOMPARE(w.statusText(0), QString("対象が見つかりません"));
    }

    void keepsItsPlaceBetweenRuns()
    {
        MainWindowHarness h;
        const QString settings = h.dir.filePath("config/Norvane/velmora/User.xml");
        QRect outer;
        double dpi = 96;
        {
            fmMain w(h.services());
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QVERIFY(QFile::exists(settings)); // created, empty, at load
            w.setGeometry(64, 48, 800, 500);
            QCoreApplication::processEvents();
            outer = w.frameGeometry();
            dpi = w.dpi();
            press(w, Qt::Key_F12);
        }
        QFile file(settings);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n"));
        QVERIFY(bytes.endsWith(*Cp932::encode("</運用>")));
        // The outer rectangle, in twips, in the writer's layout.
        const QByteArray keys =
            QStringLiteral("      <TOP>%1</TOP>\r\n      <LEFT>%2</LEFT>\r\n      <WIDTH>%3</WIDTH>\r\n"
                           "      <HEIGHT>%4</HEIGHT>\r\n")
                .arg(Twips::fromPixels(outer.y(), dpi))
                .arg(Twips::fromPixels(outer.x(), dpi))
                .arg(Twips::fromPixels(outer.width(), dpi))
                .arg(Twips::fromPixels(outer.height(), dpi))
                .toLatin1();
        QVERIFY2(bytes.contains(keys), bytes.constData());
        {
            fmMain w(h.services());
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QTRY_COMPARE(w.frameGeometry(), outer);
            w.close();
        }
        // A width of 0 leaves the design's size.
        file.close();
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(
            *Cp932::encode("<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <位置>\r\n"
                           "      <WIDTH>0</WIDTH>\r\n      <HEIGHT>5000</HEIGHT>\r\n   </位置>\r\n</運用>"));
        file.close();
        fmMain w(h.services());
        QCOMPARE(w.size(), QSize(Twips::toPixels(16260, w.dpi()), Twips::toPixels(7485, w.dpi())));
    }

    void helpOpensThePage()
    {
        MainWindowHarness h;
        fmMain w(h.services());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        press(w, Qt::Key_F10);
        QCOMPARE(h.launcher.calls().size(), 1);
        QCOMPARE(h.launcher.calls().first().target, QString("file:///help/velmora.htm"));
        QCOMPARE(QFileInfo(h.launcher.calls().first().path).completeBaseName(), QString("velmora_help"));
        QVERIFY(QFile::exists(h.launcher.calls().first().path));
    }

    void clipEventTakesAMapPosition()
    {
        MainWindowHarness h;
        fmMain w(h.services());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.ClipEvent("東京都 千代田区");
        QCOMPARE(w.grid()->item(0, 3)->text(), QString());
        QVERIFY(!w.button(6)->isEnabled());
        w.ClipEvent("(35.681382, 139.766084)");
        const QString url = m_server.base() + "/maps?q=35.681382,+139.766084&hl=ja&z=16";
        QCOMPARE(w.grid()->item(0, 3)->text(), url);
        QCOMPARE(w.web()->txURL()->text(), url);
        QCOMPARE(w.record().MapURL, url);
        QVERIFY(w.button(6)->isEnabled());
        // Only while the watch is on does a copy reach it.
        h.clipboard.copy(QStringLiteral("(1, 2)"));
        QCOMPARE(w.record().MapURL, url);
        w.clipWatch().watch(1);
        h.clipboard.copy(QStringLiteral("(1, 2)"));
        QCOMPARE(w.record().MapURL, m_server.base() + "/maps?q=1,+2&hl=ja&z=16");
        // The panel taking the focus ends the watch.
        w.web()->txURL()->setFocus();
        QTRY_VERIFY(!w.clipWatch().isOn());
    }
};

QTEST_MAIN(tst_fmMain)
#include "tst_fmMain.moc"
