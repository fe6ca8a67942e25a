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

    bool record(const QString &call)
    {
        calls << call;
        return true;
    }
    void showBrowser() override { record(u"show"_qs); }
    void navigate(const QString &url) override { record(u"navigate:"_qs + url); }
    void reload() override { record(u"reload"_qs); }
    bool runScript(const QString &script) override
    {
        return record(u"script:"_qs + script) && panelSurvivesScript;
    }
    bool pumpMessages() override { return record(u"pump"_qs); }
    void setUrlBoxText(const QString &text) override { record(u"box:"_qs + text); }
    void setDocumentButtonEnabled(bool on) override { record(on ? u"doc:on"_qs : u"doc:off"_qs); }
    void goBack() override { record(u"back"_qs); }
    void goForward() override { record(u"forward"_qs); }
    void goHome() override { record(u"home"_qs); }
    void goSearch() override { record(u"search"_qs); }
    void print() override { record(u"print"_qs); }
    void pageSetup() override { record(u"pagesetup"_qs); }
    void saveAs() override { record(u"save"_qs); }
    void showDocument(const QString &url) override { record(u"document:"_qs + url); }
};

const QString Page = QStringLiteral("http://127.0.0.1:8080/maps?q=Tokyo&hl=ja&z=16");

} // namespace

class tst_BrowserPanelLogic : public QObject {
    Q_OBJECT

private slots:
    // Each row drives the rules through their public operations and compares what they asked of the
    // browser with what a user must see. Steps: "start", "set:<url>", "enter:<text>", "before:<url>"
    // and "done:<url>" for the main frame, "frame-before:<url>", "frame-done:<url>", "run:<index>",
    // "dies" (the panel does not outlive a script); calls before a "|" are not compared.
    void rules_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("curUrl");
        const QString P = Page;
        const QString N = QStringLiteral("http://127.0.0.1:8080/next");
        const QString F = QStringLiteral("http://ads.example/frame");
        const QStringList blankTwice{"show", "navigate:about:blank", "pump",
                                     "show", "navigate:about:blank", "pump"};
        QTest::newRow("start: blank page")
            << QStringList{"start"} << QStringList{"navigate:about:blank"} << "";
        QTest::newRow("setter navigates, then pumps")
            << QStringList{"set:" + P} << QStringList{"show", "navigate:" + P, "pump"} << "";
        QTest::newRow("empty setter: blank, no pumping")
            << QStringList{"done:" + P, "|", "set:"} << QStringList{"show", "navigate:about:blank"} << P;
        QTest::newRow("same page in other case reloads")
            << QStringList{"done:" + P, "|", "set:" + P.toUpper()} << QStringList{"show", "reload"} << P;
        QTest::newRow("blank page shown: asking again navigates again")
            << QStringList{"done:about:blank", "|", "set:about:blank", "set:about:blank"} << blankTwice << "";
        QTest::newRow("page not yet arrived: asking again navigates again")
            << QStringList{"done:" + N, "|", "set:" + P, "before:" + P, "set:" + P}
            << QStringList{"show", "navigate:" + P, "pump", "box:Looking.." + P,
                           "show", "navigate:" + P, "pump"}
            << N;
        QTest::newRow("script runs, decoded, instead of navigating")
            << QStringList{"done:" + P, "|", "set:JavaScript:void(prompt('',%22a%20b%22));"}
            << QStringList{"show", "script:void(prompt('',\"a b\"));", "pump"} << P;
        QTest::newRow("script that outlives the panel: nothing after")
            << QStringList{"dies", "set:javascript:void(0)"} << QStringList{"show", "script:void(0)"} << "";
        QTest::newRow("before navigating: Looking.., CurURL kept")
            << QStringList{"done:" + P, "|", "before:" + N} << QStringList{"box:Looking.." + N} << P;
        QTest::newRow("completion records and shows the page")
            << QStringList{"done:" + P, "|", "done:" + N} << QStringList{"box:" + N, "doc:off"} << N;
        QTest::newRow("blank page empties CurURL and box")
            << QStringList{"done:" + P, "|", "done:about:blank"} << QStringList{"box:", "doc:off"} << "";
        QTest::newRow("only the exact spelling is the blank page")
            << QStringList{"done:About:Blank"} << QStringList{"box:About:Blank", "doc:off"} << "About:Blank";
        QTest::newRow("frames touch neither box nor CurURL")
            << QStringList{"done:" + P, "|", "frame-before:" + F, "frame-done:" + F} << QStringList() << P;
        QTest::newRow("enter goes to the box text unchanged")
            << QStringList{"enter:  http://h/x  ", "enter:javascript:go(%22x%22)"}
            << QStringList{"navigate:  http://h/x  ", "script:go(\"x\")"} << "";
        const QStringList commands{"", "", "back", "forward", "home", "search", "print", "pagesetup", "save"};
        for (const int index : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 32767}) {
            const QString call = index >= 2 && index <= 8 ? commands[index] : QString();
            QTest::addRow("command %d on a page", index)
                << QStringList{"done:" + P, "|", "run:" + QString::number(index)}
                << (call.isEmpty() ? QStringList{"pump"} : QStringList{call, "pump"}) << P;
        }
        QTest::newRow("command 9 on a document")
            << QStringList{"done:http://h/Report.XLS", "|", "run:9"}
            << QStringList{"document:http://h/Report.XLS", "pump"} << "http://h/Report.XLS";
    }
    void rules()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, calls);
        QFETCH(QString, curUrl);
        FakeEngine engine;
        BrowserPanelLogic logic(engine);
        for (const QString &step : steps) {
            const QString verb = step.section(u':', 0, 0);
            const QString arg = step.section(u':', 1);
            if (verb == u"start")
                logic.start();
            else if (verb == u"set")
                logic.setURL(arg);
            else if (verb == u"enter")
                logic.enterPressed(arg);
            else if (verb.endsWith(u"before"))
                logic.beforeNavigate(arg, !verb.startsWith(u"frame"));
            else if (verb.endsWith(u"done"))
                logic.navigateComplete(arg, !verb.startsWith(u"frame"));
            else if (verb == u"run")
                logic.runCommand(arg.toInt());
            else if (verb == u"dies")
                engine.panelSurvivesScript = false;
            else if (verb == u"|")
                engine.calls.clear();
            else
                QFAIL(qPrintable(step));
        }
        QCOMPARE(engine.calls, calls);
        QCOMPARE(logic.CurURL(), curUrl);
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
        // From the opposite state, so that every completion is seen to set the button.
        logic.navigateComplete(enabled ? u"http://h/a.htm"_qs : u"http://h/a.doc"_qs, true);
        logic.navigateComplete(url, true);
        QCOMPARE(engine.calls.last(), enabled ? QStringLiteral("doc:on") : QStringLiteral("doc:off"));
    }

    void layout_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("box"); // a null rectangle: the box is not placed
        QTest::addColumn<QRect>("browser");
        QTest::newRow("design") << QSize(9210, 2010) << QRect(4920, 60, 9210 - 4940, 220)
                                << QRect(0, 330, 9210, 2010 - 345);
        QTest::newRow("box at the edge")
            << QSize(4940, 2010) << QRect(4920, 60, 0, 220) << QRect(0, 330, 4940, 1665);
        QTest::newRow("box past the edge") << QSize(4939, 2010) << QRect() << QRect(0, 330, 4939, 1665);
        QTest::newRow("one twip of browser") << QSize(3000, 346) << QRect() << QRect(0, 330, 3000, 1);
        QTest::newRow("no browser") << QSize(3000, 345) << QRect() << QRect(0, 330, 3000, 0);
        QTest::newRow("never negative") << QSize(3000, 100) << QRect() << QRect(0, 330, 3000, 0);
        QTest::newRow("nothing") << QSize(0, 0) << QRect() << QRect(0, 330, 0, 0);
        QTest::newRow("negative") << QSize(-15, -15) << QRect() << QRect(0, 330, 0, 0);
    }
    void layout()
    {
        QFETCH(QSize, size);
        QFETCH(QRect, box);
        QFETCH(QRect, browser);
        const BrowserLayout layout = BrowserPanelLogic::layout(size.width(), size.height());
        // The row of buttons is the same at any size, and closed.
        for (int i = 2; i <= 9; ++i)
            QCOMPARE(layout.buttons[i - 2], QRect((i - 2) * 600, 0, 600, 315));
        QCOMPARE(layout.urlBox.value_or(QRect()), box);
        QCOMPARE(layout.browser, browser);
    }

    void twips()
    {
        QCOMPARE(Twips::toPixels(1440, 96), 96);
        QCOMPARE(Twips::toPixels(15, 96), 1);
        QCOMPARE(Twips::fromPixels(1, 96), 15);
        QCOMPARE(Twips::toPixels(QRect(600, 0, 600, 315), 96, 96), QRect(40, 0, 40, 21));
        QCOMPARE(Twips::fromPixels(QRect(40, 0, 40, 21), 96, 96), QRect(600, 0, 600, 315));
        QCOMPARE(Twips::toPixels(QSize(9210, 2010), 96, 96), QSize(614, 134));
        // Rounding each rectangle on its own must not open gaps between neighbouring buttons.
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
