#include "ui/BrowserRules.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Kind = BrowserStep::Kind;

Q_DECLARE_METATYPE(BrowserStep::Kind)

// The panel's rules without the web engine: what is shown decides what a URL asked for does.
class tst_BrowserRules : public QObject {
    Q_OBJECT

private slots:
    void askedUrl_data()
    {
        QTest::addColumn<QString>("shown"); // the page that arrived last
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("entered"); // typed into the box and Enter, not set by the program
        QTest::addColumn<BrowserStep::Kind>("kind");
        QTest::addColumn<QString>("target");
        const QString map = u"https://www.google.com/maps?q=%E6%9D%B1&hl=ja&z=16"_s;
        QTest::newRow("the page shown again, in other case")
            << map << map.toUpper() << false << Kind::Reload << QString();
        QTest::newRow("the page shown, typed") << map << map << true << Kind::Navigate << map;
        QTest::newRow("another page") << map << u"http://a/b"_s << false << Kind::Navigate << u"http://a/b"_s;
        QTest::newRow("nothing, nothing shown")
            << QString() << QString() << false << Kind::Navigate << u"about:blank"_s;
        QTest::newRow("blank shown is no page to reload")
            << u"about:blank"_s << u"about:blank"_s << false << Kind::Navigate << u"about:blank"_s;
        QTest::newRow("script, decoded") << map << u"JavaScript:void(prompt('',%22a%20b%22))"_s << false
                                         << Kind::RunScript << u"void(prompt('',\"a b\"))"_s;
        QTest::newRow("script typed") << QString() << u"javascript:1"_s << true << Kind::RunScript << u"1"_s;
        QTest::newRow("box text kept as typed")
            << QString() << u" x "_s << true << Kind::Navigate << u" x "_s;
    }
    void askedUrl()
    {
        QFETCH(QString, shown);
        QFETCH(QString, asked);
        QFETCH(bool, entered);
        QFETCH(BrowserStep::Kind, kind);
        QFETCH(QString, target);
        BrowserRules rules;
        if (!shown.isEmpty())
            rules.arrived(shown);
        const BrowserStep step = entered ? BrowserRules::entered(asked) : rules.asked(asked);
        QCOMPARE(step.kind, kind);
        QCOMPARE(step.target, target);
    }

    void boxAndDocumentButton_data()
    {
        QTest::addColumn<QString>("arrived");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("document");
        QTest::newRow("xls") << u"http://h/report.xls"_s << u"http://h/report.xls"_s << true;
        QTest::newRow("DOC") << u"http://h/LETTER.DOC"_s << u"http://h/LETTER.DOC"_s << true;
        QTest::newRow("xls before a query") << u"http://h/a.xls?x=1"_s << u"http://h/a.xls?x=1"_s << false;
        QTest::newRow("blank page") << u"about:blank"_s << QString() << false;
        QTest::newRow("Japanese readable, delimiters kept")
            << u"http://h/maps?q=%E6%9D%B1%E4%BA%AC%20%26%3D%2B1&hl=ja"_s
            << u"http://h/maps?q=東京 %26%3D%2B1&hl=ja"_s << false;
    }
    void boxAndDocumentButton()
    {
        QFETCH(QString, arrived);
        QFETCH(QString, box);
        QFETCH(bool, document);
        BrowserRules rules;
        rules.arrived(u"http://h/report.doc"_s);
        rules.arrived(arrived);
        QCOMPARE(rules.boxText(), box);
        QCOMPARE(rules.currentUrl(), arrived == BrowserRules::kBlankPage ? QString() : arrived);
        QCOMPARE(rules.documentButtonOn(), document);
        QCOMPARE(rules.documentToShow().has_value(), document);
        QCOMPARE(BrowserRules::boxTextForStart(arrived, true),
                 u"読み込み中… "_s + BrowserRules::readable(arrived));
        QVERIFY(!BrowserRules::boxTextForStart(arrived, false));
    }

    void layoutNeverNegative()
    {
        const BrowserLayout tiny = BrowserRules::layout(100, 100);
        QVERIFY(!tiny.urlBox);
        QCOMPARE(tiny.browser.size(), QSize(100, 0));
        const BrowserLayout wide = BrowserRules::layout(9000, 3000);
        QVERIFY(wide.urlBox && wide.urlBox->right() < 9000);
        QVERIFY(!wide.urlBox->intersects(wide.buttons.back()));
        QCOMPARE(wide.browser.bottom() < 3000, true);
    }
};

QTEST_GUILESS_MAIN(tst_BrowserRules)
#include "tst_BrowserRules.moc"
