#include "app/ProgramValues.h"
#include "browser/BrowserDialogs.h"
#include "browser/DocumentLauncher.h"
#include "browser/MapCentreScript.h"
#include "browser/PromptDialog.h"
#include "browser/Twips.h"
#include "browser/uWeb.h"
#include "common/LocalHttpServer.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPrinter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {

constexpr int Timeout = 20000;

// Answers the print, page-setup and save questions as a user would, without a dialog.
class FakeDialogs : public BrowserDialogs {
public:
    QString pdfPath;
    QString savePath;
    int printAsked = 0;
    bool askPrint(QPrinter &printer, QWidget *) override
    {
        ++printAsked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        return true;
    }
    bool askPageSetup(QPrinter &printer, QWidget *) override
    {
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    }
    QString askSaveFileName(const QString &, QWidget *) override { return savePath; }
};

class FakeLauncher : public DocumentLauncher {
public:
    explicit FakeLauncher(QStringList *opened) : m_opened(opened) {}
    bool open(const QUrl &url) override
    {
        m_opened->append(url.toString());
        return true;
    }

private:
    QStringList *m_opened;
};

QByteArray page(const QByteArray &title, const QByteArray &body)
{
    return "<!DOCTYPE html><html><head><meta charset='utf-8'><title>" + title + "</title></head><body>" +
           body + "</body></html>";
}

const QString ModernMapPath = QStringLiteral("/maps/place/@35.681382,139.766084,16z/data=x");

} // namespace

class tst_uWeb : public QObject {
    Q_OBJECT

private:
    LocalHttpServer m_server;
    QPointer<uWeb> m_panel;
    QTemporaryDir m_temp;

    QString url(const QString &path) const { return m_server.base() + path; }

    // Loads a page through the setter and waits until it has arrived.
    bool load(const QString &path)
    {
        m_panel->setURL(url(path));
        return QTest::qWaitFor([&] { return m_panel->CurURL() == url(path); }, Timeout);
    }

    bool startEngine()
    {
        m_panel->show();
        return QTest::qWaitFor([&] { return m_panel->isEngineReady() && m_panel->URL() == "about:blank"; },
                               Timeout);
    }

    // The value of the prompt the setter's script opens, or a null text when none opened.
    QString promptValueOf(const QString &scriptUrl, QString *message = nullptr)
    {
        QString value;
        connect(m_panel, &uWeb::promptShown, this, [&](PromptDialog *dialog) {
            value = dialog->value();
            if (message)
                *message = dialog->message();
            dialog->reject();
        });
        m_panel->setURL(scriptUrl);
        disconnect(m_panel, &uWeb::promptShown, this, nullptr);
        return value;
    }

private slots:
    void initTestCase()
    {
        // The web profile's folders go to a test location, not the user's.
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_temp.isValid());
        QVERIFY(m_server.start());
        qputenv("VELMORA_MAP_BASE", m_server.base().toLatin1());
        m_server.addPage("/page1", page("One", "<p>one</p>"));
        m_server.addPage("/page2", page("Two", "<p>two</p>"));
        m_server.addPage("/maps", page("Home", "<p>home</p>"));
        m_server.addPage("/", page("Search", "<p>search</p>"));
        m_server.addPage("/frames", page("Frames", "<iframe src='/inner'></iframe>"));
        m_server.addPage("/inner", page("Inner", "<p>inner</p>"));
        m_server.addPage("/opener", page("Opener", "<a id='a' href='/popup2' target='_blank'>x</a>"
                                                   "<script>window.open('/popup');"
                                                   "document.getElementById('a').click();</script>"));
        m_server.addPage("/popup", page("Popup", "<p>popup</p>"));
        m_server.addPage("/popup2", page("Popup", "<p>popup</p>"));
        m_server.addPage("/classic",
                         page("Classic", "<script>var gApplication = {getMap: function() { return {"
                                         "getCenter: function() { return {toString: function() {"
                                         "return '(35.68, 139.76)'; }}; }}; }};</script>"));
        m_server.addPage(ModernMapPath, page("Modern", "<p>map</p>"));
        m_server.addPage("/nomap", page("No map", "<p>nothing</p>"));
        m_server.addPage("/report.xls", page("Sheet", "<p>sheet</p>"));
        m_server.addPage("/LETTER.DOC", page("Letter", "<p>letter</p>"));
        m_server.addPage("/report.xlsx", page("Sheet", "<p>sheet</p>"));
    }

    void init()
    {
        Program::MainOpen = false;
        m_panel = new uWeb;
    }

    void cleanup()
    {
        delete m_panel;
        Program::MainOpen = false;
    }

    void tooltipsAndTabOrder()
    {
        const QStringList tips{u"前のﾍﾟ-ｼﾞに移動"_qs,         u"次のﾍﾟ-ｼﾞに移動"_qs,
                               u"ﾎ-ﾑﾍﾟ-ｼﾞに移動します"_qs,    u"検索ﾍﾟ-ｼﾞに移動します"_qs,
                               u"現在のﾍﾟ-ｼﾞを印刷"_qs,       u"ﾍﾟ-ｼﾞ設定"_qs,
                               u"現在のﾍﾟ-ｼﾞを保存します"_qs, u"ﾂ-ﾙﾊﾞ-を表示します"_qs};
        for (int i = 2; i <= 9; ++i) {
            QToolButton *button = m_panel->ssCom(i);
            QVERIFY(button);
            QCOMPARE(button->toolTip(), tips[i - 2]);
            QVERIFY(!button->icon().isNull());
            QVERIFY(!button->icon().pixmap(16, 16).isNull());
            QVERIFY(button->text().isEmpty() || button->toolButtonStyle() == Qt::ToolButtonIconOnly);
        }
        QVERIFY(!m_panel->ssCom(1));
        QVERIFY(!m_panel->ssCom(10));
        for (int i = 2; i < 9; ++i)
            QCOMPARE(m_panel->ssCom(i)->nextInFocusChain(), m_panel->ssCom(i + 1));
    }

    void engineComesUpOnlyAfterShowingAndStartsBlank()
    {
        QVERIFY(!m_panel->isEngineReady());
        QCOMPARE(m_panel->txURL()->text(), QStringLiteral("Looking..about:blank"));
        QVERIFY(m_panel->ssCom(9)->isEnabled());
        QTest::qWait(50);
        QVERIFY(!m_panel->isEngineReady());
        QVERIFY(startEngine());
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->txURL()->text(), QString(), Timeout);
        QVERIFY(m_panel->CurURL().isEmpty());
        QVERIFY(!m_panel->ssCom(9)->isEnabled());
        QCOMPARE(m_panel->WebBrw(), static_cast<QWidget *>(m_panel->webView()));
    }

    void setterBeforeTheEngineIsUpStartsIt()
    {
        m_panel->setURL(url("/page1"));
        // The engine comes up from the event loop, not inside the call: the box says what is coming.
        QCOMPARE(m_panel->txURL()->text(), "Looking.." + url("/page1"));
        QTRY_VERIFY_WITH_TIMEOUT(m_panel->isEngineReady(), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->CurURL(), url("/page1"), Timeout);
        QCOMPARE(m_panel->txURL()->text(), url("/page1"));
    }

    void lookingThenCurUrl()
    {
        QVERIFY(startEngine());
        QStringList texts;
        connect(m_panel->txURL(), &QLineEdit::textChanged, this, [&](const QString &t) { texts << t; });
        QVERIFY(load("/page1"));
        QVERIFY(texts.contains("Looking.." + url("/page1")));
        QCOMPARE(texts.last(), url("/page1"));
        QCOMPARE(m_panel->txURL()->text(), url("/page1"));
        QCOMPARE(m_panel->URL(), url("/page1"));
    }

    void sameUrlInOtherCaseReloads()
    {
        QVERIFY(startEngine());
        QVERIFY(load("/page1"));
        const int before = m_server.requests().count("/page1");
        m_panel->setURL(url("/page1").toUpper());
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requests().count("/page1"), before + 1, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->txURL()->text(), url("/page1"), Timeout);
        QVERIFY(!m_server.requests().contains("/PAGE1"));
        QCOMPARE(m_panel->CurURL(), url("/page1"));
    }

    void encodedQueryStaysEncodedAndReloads()
    {
        QVERIFY(startEngine());
        const QString query = QStringLiteral("/maps?q=%E6%9D%B1%E4%BA%AC%E9%A7%85&hl=ja&z=16");
        QVERIFY(load(query));
        QCOMPARE(m_panel->txURL()->text(), url(query));
        const int before = m_server.requests().count(query);
        m_panel->setURL(url(query).toLower());
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requests().count(query), before + 1, Timeout);
        QCOMPARE(m_panel->CurURL(), url(query));
    }

    void emptySetterShowsBlank()
    {
        QVERIFY(startEngine());
        QVERIFY(load("/page1"));
        m_panel->setURL(QString());
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->URL(), QStringLiteral("about:blank"), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(m_panel->CurURL().isEmpty(), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->txURL()->text(), QString(), Timeout);
    }

    void newWindowsAreNeverOpened()
    {
        QVERIFY(startEngine());
        const int windows = QApplication::topLevelWidgets().size();
        QVERIFY(load("/opener"));
        QTest::qWait(500);
        QCOMPARE(m_panel->CurURL(), url("/opener"));
        QVERIFY(!m_server.requests().contains("/popup"));
        QVERIFY(!m_server.requests().contains("/popup2"));
        QCOMPARE(QApplication::topLevelWidgets().size(), windows);
    }

    void framesDoNotOverwriteCurUrl()
    {
        QVERIFY(startEngine());
        QSignalSpy loaded(m_panel->webView(), &QWebEngineView::loadFinished);
        QVERIFY(load("/frames"));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requests().contains("/inner"), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), Timeout);
        QTest::qWait(200);
        QCOMPARE(m_panel->CurURL(), url("/frames"));
        QCOMPARE(m_panel->txURL()->text(), url("/frames"));
    }

    void enterNavigatesToTheBoxText()
    {
        QVERIFY(startEngine());
        m_panel->SetText(url("/page2"));
        QCOMPARE(m_panel->CurURL(), QString());
        QTest::keyClick(m_panel->txURL(), Qt::Key_Return, Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->CurURL(), url("/page2"), Timeout);
    }

    void scriptRunsInThePageShownAndReturnsWhenDone()
    {
        QVERIFY(startEngine());
        QVERIFY(load("/page1"));
        QStringList texts;
        connect(m_panel->txURL(), &QLineEdit::textChanged, this, [&](const QString &t) { texts << t; });
        // The script keeps the page busy for a while: the setter must not come back before it ends.
        m_panel->setURL(
            QStringLiteral("javascript:void((function(){var t=Date.now();while(Date.now()-t<300){}"
                           "document.title='ran%20here';})())"));
        QString title;
        m_panel->webView()->page()->runJavaScript(QStringLiteral("document.title"),
                                                  [&](const QVariant &v) { title = v.toString(); });
        QTRY_COMPARE_WITH_TIMEOUT(title, QStringLiteral("ran here"), Timeout);
        QCOMPARE(m_panel->URL(), url("/page1"));
        QCOMPARE(m_panel->CurURL(), url("/page1"));
        QVERIFY(texts.isEmpty());
    }

    void setterReturnsOnlyWhenThePromptHasClosed()
    {
        QVERIFY(startEngine());
        QVERIFY(load("/page1"));
        QStringList events;
        connect(m_panel, &uWeb::promptShown, this, [&](PromptDialog *dialog) {
            events << "shown";
            QTimer::singleShot(300, dialog, [&events, dialog] {
                events << "closed";
                dialog->accept();
            });
        });
        m_panel->setURL(QStringLiteral("javascript:void(prompt('','x'))"));
        events << "returned";
        QCOMPARE(events, (QStringList{"shown", "closed", "returned"}));
    }

    void promptShowsAmpersandAndLessThanIntact()
    {
        QVERIFY(startEngine());
        QVERIFY(load("/page1"));
        QString message;
        QString selected;
        connect(m_panel, &uWeb::promptShown, this, [&](PromptDialog *dialog) {
            selected = dialog->valueEdit()->selectedText();
            QCOMPARE(dialog->messageLabel()->textFormat(), Qt::PlainText);
        });
        const QString value = promptValueOf(
            QStringLiteral("javascript:void(prompt('A & B <b>c</b>','x &amp; y <z> & w'))"), &message);
        QCOMPARE(message, QStringLiteral("A & B <b>c</b>"));
        QCOMPARE(value, QStringLiteral("x &amp; y <z> & w"));
        QCOMPARE(selected, value);
    }

    void promptAnswerReachesThePage()
    {
        QVERIFY(startEngine());
        QVERIFY(load("/page1"));
        connect(m_panel, &uWeb::promptShown, this, [](PromptDialog *dialog) {
            dialog->valueEdit()->setText(QStringLiteral("typed & <kept>"));
            dialog->accept();
        });
        m_panel->setURL(QStringLiteral("javascript:void(document.title=prompt('','x'))"));
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->webView()->title(), QStringLiteral("typed & <kept>"), Timeout);
    }

    void mapCentreOnTheClassicPage()
    {
        QVERIFY(startEngine());
        QVERIFY(load("/classic"));
        QCOMPARE(promptValueOf(MapCentreScript::url()), QStringLiteral("(35.68, 139.76)"));
    }

    void mapCentreOnTodaysPage()
    {
        QVERIFY(startEngine());
        QVERIFY(load(ModernMapPath));
        QCOMPARE(promptValueOf(MapCentreScript::url()), QStringLiteral("(35.681382, 139.766084)"));
    }

    void mapCentreOnAPageWithoutAMapOpensNothing()
    {
        QVERIFY(startEngine());
        QVERIFY(load("/nomap"));
        QVERIFY(promptValueOf(MapCentreScript::url()).isNull());
        QCOMPARE(m_panel->CurURL(), url("/nomap"));
    }

    void retComOutsideTheRowDoesNothing()
    {
        QVERIFY(startEngine());
        QStringList opened;
        m_panel->setDocumentLauncher(std::make_unique<FakeLauncher>(&opened));
        QVERIFY(load("/page1"));
        QTest::qWait(200);
        const auto pageRequests = [this] {
            QStringList pages = m_server.requests();
            pages.removeAll(QStringLiteral("/favicon.ico"));
            return pages.size();
        };
        const int requests = pageRequests();
        for (const int index : {1, 10, 0, -1})
            m_panel->RetCom(index);
        QTest::qWait(200);
        QCOMPARE(m_panel->CurURL(), url("/page1"));
        QCOMPARE(pageRequests(), requests);
        // 9 runs while its button is disabled, but a page that is no document has nothing to show.
        QVERIFY(!m_panel->ssCom(9)->isEnabled());
        m_panel->RetCom(9);
        QVERIFY(opened.isEmpty());
    }

    void documentButtonFollowsTheUrl()
    {
        QVERIFY(startEngine());
        QStringList opened;
        m_panel->setDocumentLauncher(std::make_unique<FakeLauncher>(&opened));
        QVERIFY(load("/report.xls"));
        QVERIFY(m_panel->ssCom(9)->isEnabled());
        m_panel->RetCom(9);
        QCOMPARE(opened, QStringList{url("/report.xls")});
        QVERIFY(load("/report.xlsx"));
        QVERIFY(!m_panel->ssCom(9)->isEnabled());
        QVERIFY(load("/LETTER.DOC"));
        QVERIFY(m_panel->ssCom(9)->isEnabled());
        QTest::mouseClick(m_panel->ssCom(9), Qt::LeftButton);
        QCOMPARE(opened.size(), 2);
        QVERIFY(load("/page1"));
        QVERIFY(!m_panel->ssCom(9)->isEnabled());
    }

    void backForwardHomeSearch()
    {
        QVERIFY(startEngine());
        m_panel->RetCom(2); // nothing to go back to: nothing happens
        QVERIFY(load("/page1"));
        QVERIFY(load("/page2"));
        m_panel->RetCom(2);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->CurURL(), url("/page1"), Timeout);
        m_panel->RetCom(3);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->CurURL(), url("/page2"), Timeout);
        m_panel->RetCom(4);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->CurURL(), url("/maps"), Timeout);
        QTest::mouseClick(m_panel->ssCom(5), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->CurURL(), url("/"), Timeout);
    }

    void printsToPdfWithThePageSetupKept()
    {
        QVERIFY(startEngine());
        auto dialogs = std::make_unique<FakeDialogs>();
        FakeDialogs *fake = dialogs.get();
        fake->pdfPath = m_temp.filePath(QStringLiteral("printed.pdf"));
        m_panel->setDialogs(std::move(dialogs));
        QVERIFY(load("/page1"));
        m_panel->RetCom(7);
        QCOMPARE(m_panel->printer().pageLayout().orientation(), QPageLayout::Landscape);
        QSignalSpy finished(m_panel, &uWeb::printFinished);
        m_panel->RetCom(6);
        QCOMPARE(fake->printAsked, 1);
        QVERIFY(finished.wait(60000) || !finished.isEmpty());
        QCOMPARE(finished.first().first().toBool(), true);
        QFile pdf(fake->pdfPath);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5).startsWith("%PDF"));
        QCOMPARE(m_panel->printer().pageLayout().orientation(), QPageLayout::Landscape);
    }

    void savesThePage()
    {
        QVERIFY(startEngine());
        auto dialogs = std::make_unique<FakeDialogs>();
        dialogs->savePath = m_temp.filePath(QStringLiteral("saved.mhtml"));
        const QString savePath = dialogs->savePath;
        m_panel->setDialogs(std::move(dialogs));
        QVERIFY(load("/page1"));
        QSignalSpy finished(m_panel, &uWeb::saveFinished);
        m_panel->RetCom(8);
        QVERIFY(finished.wait(Timeout) || !finished.isEmpty());
        QCOMPARE(finished.first().first().toBool(), true);
        QFile saved(savePath);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray content = saved.readAll();
        QVERIFY(content.contains("one"));
    }

    void gotFocusOnlyWhenFocusComesFromOutside()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *outside = new QLineEdit(&window);
        layout->addWidget(outside);
        m_panel->setParent(&window);
        layout->addWidget(m_panel);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        outside->setFocus();
        QTRY_VERIFY(outside->hasFocus());
        QSignalSpy focus(m_panel, &uWeb::gotFocus);
        m_panel->txURL()->setFocus();
        QTRY_COMPARE(focus.size(), 1);
        m_panel->ssCom(3)->setFocus();
        QTRY_VERIFY(m_panel->ssCom(3)->hasFocus());
        QCOMPARE(focus.size(), 1);
        outside->setFocus();
        QTRY_VERIFY(outside->hasFocus());
        m_panel->ssCom(2)->setFocus();
        QTRY_COMPARE(focus.size(), 2);
        m_panel->setParent(nullptr);
    }

    void layoutInTwips()
    {
        Program::MainOpen = true;
        // A hidden widget hears of its size only when it is shown.
        m_panel->show();
        const qreal dx = m_panel->logicalDpiX();
        const qreal dy = m_panel->logicalDpiY();
        const auto px = [&](const QRect &twips) { return Twips::toPixels(twips, dx, dy); };
        m_panel->resize(Twips::toPixels(QSize(9210, 3000), dx, dy));
        const int w = Twips::fromPixels(m_panel->width(), dx);
        const int h = Twips::fromPixels(m_panel->height(), dy);
        for (int i = 2; i <= 9; ++i)
            QCOMPARE(m_panel->ssCom(i)->geometry(), px(QRect((i - 2) * 600, 0, 600, 315)));
        QCOMPARE(m_panel->txURL()->geometry(), px(QRect(4920, 60, w - 4940, 220)));
        QCOMPARE(m_panel->WebBrw()->geometry(), px(QRect(0, 330, w, h - 345)));

        // Too narrow for the box: it keeps its place; too low: the browser shrinks to nothing.
        const QRect box = m_panel->txURL()->geometry();
        m_panel->resize(Twips::toPixels(QSize(4800, 200), dx, dy));
        QCOMPARE(m_panel->txURL()->geometry(), box);
        QCOMPARE(m_panel->WebBrw()->height(), 0);

        // The engine's view takes the place the placeholder had.
        m_panel->resize(Twips::toPixels(QSize(9210, 3000), dx, dy));
        QVERIFY(startEngine());
        QCOMPARE(m_panel->WebBrw()->geometry(), px(QRect(0, 330, w, h - 345)));
    }

    void noLayoutWhileTheMainWindowIsClosed()
    {
        Program::MainOpen = false;
        const QRect box = m_panel->txURL()->geometry();
        m_panel->resize(1000, 600);
        QCOMPARE(m_panel->txURL()->geometry(), box);
    }
};

QTEST_MAIN(tst_uWeb)
#include "tst_uWeb.moc"
