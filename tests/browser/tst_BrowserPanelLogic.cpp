#include "browser/BrowserPanelLogic.h"
#include "browser/MapCentreScript.h"
#include "browser/Twips.h"

#include <QStringList>
#include <QTest>

namespace {

// Records what the rules ask of the browser, in order.
class FakeEngine : public BrowserEngine {
public:
    QStringList calls;
    bool panelSurvivesScript = true;

    void showBrowser() override { calls << QStringLiteral("show"); }
    void navigate(const QString &url) override { calls << QStringLiteral("navigate:") + url; }
    void reload() override { calls << QStringLiteral("reload"); }
    bool runScript(const QString &script) override
    {
        calls << QStringLiteral("script:") + script;
        return panelSurvivesScript;
    }
    bool pumpMessages() override
    {
        calls << QStringLiteral("pump");
        return true;
    }
    void setUrlBoxText(const QString &text) override { calls << QStringLiteral("box:") + text; }
    void setDocumentButtonEnabled(bool enabled) override
    {
        calls << (enabled ? QStringLiteral("doc:on") : QStringLiteral("doc:off"));
    }
    void goBack() override { calls << QStringLiteral("back"); }
    void goForward() override { calls << QStringLiteral("forward"); }
    void goHome() override { calls << QStringLiteral("home"); }
    void goSearch() override { calls << QStringLiteral("search"); }
    void print() override { calls << QStringLiteral("print"); }
    void pageSetup() override { calls << QStringLiteral("pagesetup"); }
    void saveAs() override { calls << QStringLiteral("save"); }
    void showDocument(const QString &url) override { calls << QStringLiteral("document:") + url; }
};

const QString Page = QStringLiteral("http://127.0.0.1:8080/maps?q=Tokyo&hl=ja&z=16");

} // namespace

class tst_BrowserPanelLogic : public QObject {
    Q_OBJECT

private slots:
    void startAsksForTheBlankPage()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.start();
        QCOMPARE(engine.calls, QStringList{"navigate:about:blank"});
        QVERIFY(logic.CurURL().isEmpty());
    }

    void setterNavigatesThenPumps()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.setURL(Page);
        QCOMPARE(engine.calls, (QStringList{"show", "navigate:" + Page, "pump"}));
    }

    void emptySetterShowsBlankWithoutPumping()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.setURL(QString());
        QCOMPARE(engine.calls, (QStringList{"show", "navigate:about:blank"}));
    }

    void samePageInOtherCaseReloads()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.navigateComplete(Page, true);
        engine.calls.clear();
        logic.setURL(Page.toUpper());
        QCOMPARE(engine.calls, (QStringList{"show", "reload"}));
    }

    void withoutCurUrlTheSameTextNavigatesEveryTime()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.setURL(QStringLiteral("about:blank"));
        logic.navigateComplete(QStringLiteral("about:blank"), true);
        engine.calls.clear();
        logic.setURL(QStringLiteral("about:blank"));
        logic.setURL(QStringLiteral("about:blank"));
        QCOMPARE(engine.calls.count("navigate:about:blank"), 2);
        QVERIFY(!engine.calls.contains("reload"));
    }

    void twiceTheSameUrlBeforeCompletionNavigatesTwice()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.navigateComplete(QStringLiteral("http://127.0.0.1:8080/other"), true);
        engine.calls.clear();
        logic.setURL(Page);
        logic.beforeNavigate(Page, true);
        logic.setURL(Page);
        QCOMPARE(engine.calls.count("navigate:" + Page), 2);
    }

    void beforeNavigateShowsLookingAndLeavesCurUrl()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.navigateComplete(Page, true);
        engine.calls.clear();
        logic.beforeNavigate(QStringLiteral("http://127.0.0.1:8080/next"), true);
        QCOMPARE(engine.calls, QStringList{"box:Looking..http://127.0.0.1:8080/next"});
        QCOMPARE(logic.CurURL(), Page);
    }

    void completionRecordsAndShowsTheUrl()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.navigateComplete(Page, true);
        QCOMPARE(logic.CurURL(), Page);
        QCOMPARE(engine.calls, (QStringList{"box:" + Page, "doc:off"}));
    }

    void blankPageEmptiesCurUrlAndBox()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.navigateComplete(Page, true);
        engine.calls.clear();
        logic.navigateComplete(QStringLiteral("about:blank"), true);
        QVERIFY(logic.CurURL().isEmpty());
        QCOMPARE(engine.calls, (QStringList{"box:", "doc:off"}));
        // Only the exact spelling is the blank page.
        logic.navigateComplete(QStringLiteral("About:Blank"), true);
        QCOMPARE(logic.CurURL(), QStringLiteral("About:Blank"));
    }

    void framesTouchNeitherBoxNorCurUrl()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.navigateComplete(Page, true);
        engine.calls.clear();
        logic.beforeNavigate(QStringLiteral("http://ads.example/frame"), false);
        logic.navigateComplete(QStringLiteral("http://ads.example/frame"), false);
        QVERIFY(engine.calls.isEmpty());
        QCOMPARE(logic.CurURL(), Page);
    }

    void documentRule_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("xls") << "http://h/a/report.xls" << true;
        QTest::newRow("doc") << "http://h/a/letter.doc" << true;
        QTest::newRow("upper case") << "http://h/a/LETTER.DOC" << true;
        QTest::newRow("mixed case") << "http://h/a/r.XlS" << true;
        QTest::newRow("xlsx") << "http://h/a/report.xlsx" << false;
        QTest::newRow("query after xls") << "http://h/a/report.xls?v=1" << false;
        QTest::newRow("no dot needed") << "http://h/doc" << true;
        QTest::newRow("html") << "http://h/a/page.html" << false;
        QTest::newRow("about:blank") << "about:blank" << false;
        QTest::newRow("short") << "ls" << false;
    }

    void documentRule()
    {
        QFETCH(QString, url);
        QFETCH(bool, enabled);
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.navigateComplete(url, true);
        QCOMPARE(engine.calls.last(), enabled ? QStringLiteral("doc:on") : QStringLiteral("doc:off"));
    }

    void documentButtonFollowsEveryCompletion()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.navigateComplete(QStringLiteral("http://h/a.doc"), true);
        QCOMPARE(engine.calls.last(), QStringLiteral("doc:on"));
        logic.navigateComplete(QStringLiteral("http://h/a.htm"), true);
        QCOMPARE(engine.calls.last(), QStringLiteral("doc:off"));
    }

    void scriptUrlRunsInsteadOfNavigating()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.navigateComplete(Page, true);
        engine.calls.clear();
        logic.setURL(QStringLiteral("JavaScript:void(prompt('',%22a%20b%22));"));
        QCOMPARE(engine.calls, (QStringList{"show", "script:void(prompt('',\"a b\"));", "pump"}));
        QCOMPARE(logic.CurURL(), Page);
    }

    void scriptThatOutlivesThePanelTouchesNothingAfter()
    {
        FakeEngine engine;
        engine.panelSurvivesScript = false;
        BrowserPanelLogic logic(engine);
        logic.setURL(QStringLiteral("javascript:void(0)"));
        QCOMPARE(engine.calls, (QStringList{"show", "script:void(0)"}));
    }

    void enterNavigatesToTheBoxTextUnchanged()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.enterPressed(QStringLiteral("  http://h/x  "));
        QCOMPARE(engine.calls, QStringList{"navigate:  http://h/x  "});
    }

    void commands_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("-1") << -1 << QStringList{"pump"};
        QTest::newRow("0") << 0 << QStringList{"pump"};
        QTest::newRow("1") << 1 << QStringList{"pump"};
        QTest::newRow("2") << 2 << QStringList{"back", "pump"};
        QTest::newRow("3") << 3 << QStringList{"forward", "pump"};
        QTest::newRow("4") << 4 << QStringList{"home", "pump"};
        QTest::newRow("5") << 5 << QStringList{"search", "pump"};
        QTest::newRow("6") << 6 << QStringList{"print", "pump"};
        QTest::newRow("7") << 7 << QStringList{"pagesetup", "pump"};
        QTest::newRow("8") << 8 << QStringList{"save", "pump"};
        QTest::newRow("9 on a page") << 9 << QStringList{"pump"};
        QTest::newRow("10") << 10 << QStringList{"pump"};
        QTest::newRow("32767") << 32767 << QStringList{"pump"};
    }

    void commands()
    {
        QFETCH(int, index);
        QFETCH(QStringList, calls);
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.navigateComplete(Page, true);
        engine.calls.clear();
        logic.runCommand(index);
        QCOMPARE(engine.calls, calls);
    }

    void documentCommandOpensTheDocumentShown()
    {
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        logic.navigateComplete(QStringLiteral("http://h/Report.XLS"), true);
        engine.calls.clear();
        logic.runCommand(9);
        QCOMPARE(engine.calls, (QStringList{"document:http://h/Report.XLS", "pump"}));
    }

    void layoutRowOfButtons()
    {
        const BrowserLayout layout = BrowserPanelLogic::layout(9210, 2010);
        for (int i = 2; i <= 9; ++i)
            QCOMPARE(layout.buttons[i - 2], QRect((i - 2) * 600, 0, 600, 315));
        QCOMPARE(layout.buttons.back().right() + 1, 4800);
        QCOMPARE(layout.urlBox, QRect(4920, 60, 9210 - 4920 - 20, 220));
        QCOMPARE(layout.browser, QRect(0, 330, 9210, 2010 - 345));
    }

    void layoutBoxAtTheEdge()
    {
        QCOMPARE(BrowserPanelLogic::layout(4940, 2010).urlBox, QRect(4920, 60, 0, 220));
        QVERIFY(!BrowserPanelLogic::layout(4939, 2010).urlBox.has_value());
        QVERIFY(!BrowserPanelLogic::layout(0, 0).urlBox.has_value());
    }

    void layoutNeverNegative()
    {
        QCOMPARE(BrowserPanelLogic::layout(3000, 345).browser, QRect(0, 330, 3000, 0));
        QCOMPARE(BrowserPanelLogic::layout(3000, 100).browser, QRect(0, 330, 3000, 0));
        QCOMPARE(BrowserPanelLogic::layout(-15, -15).browser, QRect(0, 330, 0, 0));
        QCOMPARE(BrowserPanelLogic::layout(3000, 346).browser, QRect(0, 330, 3000, 1));
    }

    void twipsAt96Dpi()
    {
        QCOMPARE(Twips::toPixels(1440, 96), 96);
        QCOMPARE(Twips::toPixels(15, 96), 1);
        QCOMPARE(Twips::fromPixels(1, 96), 15);
        QCOMPARE(Twips::toPixels(QRect(600, 0, 600, 315), 96, 96), QRect(40, 0, 40, 21));
        QCOMPARE(Twips::fromPixels(QRect(40, 0, 40, 21), 96, 96), QRect(600, 0, 600, 315));
        QCOMPARE(Twips::toPixels(QSize(9210, 2010), 96, 96), QSize(614, 134));
    }

    void twipsKeepNeighboursTouching()
    {
        // At 120 DPI a button is 50 pixels; at 144 DPI 60: the row stays closed at any DPI.
        for (const qreal dpi : {96.0, 120.0, 144.0, 110.0}) {
            for (int i = 2; i < 9; ++i) {
                const QRect a = Twips::toPixels(QRect((i - 2) * 600, 0, 600, 315), dpi, dpi);
                const QRect b = Twips::toPixels(QRect((i - 1) * 600, 0, 600, 315), dpi, dpi);
                QCOMPARE(a.x() + a.width(), b.x());
            }
        }
    }

    void mapCentreScriptIsAScriptUrlWithNothingToDecode()
    {
        const QString url = MapCentreScript::url();
        QVERIFY(BrowserPanelLogic::isScriptUrl(url));
        QVERIFY(!url.contains(u'%'));
        QCOMPARE(BrowserPanelLogic::scriptOf(url), url.mid(11));
        QVERIFY(url.contains(QStringLiteral("gApplication.getMap().getCenter()")));
    }
};

QTEST_GUILESS_MAIN(tst_BrowserPanelLogic)
#include "tst_BrowserPanelLogic.moc"
