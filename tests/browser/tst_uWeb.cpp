// The panel on the real engine against a local server: only what the engine or the widgets decide.
// The rules themselves are checked with a fake engine in tst_BrowserPanelLogic, the map-centre
// script on real pages end to end in tst_MapCentreCapture.
#include "app/ProgramValues.h"
#include "browser/BrowserDialogs.h"
#include "browser/DocumentLauncher.h"
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

} // namespace

class tst_uWeb : public QObject {
    Q_OBJECT

private:
    LocalHttpServer m_server;
    QPointer<uWeb> m_panel;
    QTemporaryDir m_temp;
    QStringList m_boxTexts;

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

    // The box's text as it changes from now on, into m_boxTexts.
    void recordBoxTexts()
    {
        m_boxTexts.clear();
        connect(m_panel->txURL(), &QLineEdit::textChanged, m_panel,
                [this](const QString &t) { m_boxTexts << t; });
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
        m_server.addPage("/report.xls", page("Sheet", "<p>sheet</p>"));
        m_server.addPage("/LETTER.DOC", page("Letter", "<p>letter</p>"));
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

    void tooltipsIconsAndTabOrder()
    {
        const QStringList tips{u"前のﾍﾟ-ｼﾞに移動"_qs,         u"次のﾍﾟ-ｼﾞに移動"_qs,
                               u"ﾎ-ﾑﾍﾟ-ｼﾞに移動します"_qs,    u"検索ﾍﾟ-ｼﾞに移動します"_qs,
                               u"現在のﾍﾟ-ｼﾞを印刷"_qs,       u"ﾍﾟ-ｼﾞ設定"_qs,
                               u"現在のﾍﾟ-ｼﾞを保存します"_qs, u"ﾂ-ﾙﾊﾞ-を表示します"_qs};
        for (int i = 2; i <= 9; ++i) {
            QToolButton *button = m_panel->ssCom(i);
            QVERIFY(button);
            QCOMPARE(button->toolTip(), tips[i - 2]);
            QVERIFY(!button->icon().pixmap(16, 16).isNull());
            QVERIFY(button->text().isEmpty() || button->toolButtonStyle() == Qt::ToolButtonIconOnly);
            if (i < 9)
                QCOMPARE(button->nextInFocusChain(), m_panel->ssCom(i + 1));
        }
        QVERIFY(!m_panel->ssCom(1));
        QVERIFY(!m_panel->ssCom(10));
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

    void lookingThenCurUrlThenReloadInOtherCaseThenBlank()
    {
        QVERIFY(startEngine());
        recordBoxTexts();
        // Encoded as the program builds map queries: the engine must hand it back the same way, or the
        // same query in other case would navigate instead of reloading.
        const QString query = QStringLiteral("/maps?q=%E6%9D%B1%E4%BA%AC%E9%A7%85&hl=ja&z=16");
        QVERIFY(load(query));
        QVERIFY(m_boxTexts.contains("Looking.." + url(query)));
        QCOMPARE(m_boxTexts.last(), url(query));
        QCOMPARE(m_panel->txURL()->text(), url(query));
        QCOMPARE(m_panel->URL(), url(query));

        const int before = m_server.requests().count(query);
        m_panel->setURL(url(query).toUpper());
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requests().count(query), before + 1, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->txURL()->text(), url(query), Timeout);
        QVERIFY(!m_server.requests().join(u' ').contains(u"/MAPS"_qs));
        QCOMPARE(m_panel->CurURL(), url(query));

        // The engine asks no one before the blank page: the panel must still empty box and CurURL.
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

    void scriptRunsInThePageShownAndReturnsWhenDone()
    {
        QVERIFY(startEngine());
        QVERIFY(load("/page1"));
        recordBoxTexts();
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
        QVERIFY(m_boxTexts.isEmpty());
    }

    void setterReturnsOnlyWhenThePromptHasClosedAndTheAnswerReachesThePage()
    {
        QVERIFY(startEngine());
        QVERIFY(load("/page1"));
        QStringList events;
        connect(m_panel, &uWeb::promptShown, this, [&](PromptDialog *dialog) {
            // Shown as plain text, the value selected so that Ctrl+C copies all of it.
            events << "shown" << dialog->message() << dialog->value() << dialog->valueEdit()->selectedText();
            QCOMPARE(dialog->messageLabel()->textFormat(), Qt::PlainText);
            QTimer::singleShot(300, dialog, [&events, dialog] {
                events << "closed";
                dialog->valueEdit()->setText(QStringLiteral("typed & <kept>"));
                dialog->accept();
            });
        });
        m_panel->setURL(
            QStringLiteral("javascript:void(document.title=prompt('A & B <b>c</b>','x &amp; y <z> & w'))"));
        events << "returned";
        QCOMPARE(events, (QStringList{"shown", "A & B <b>c</b>", "x &amp; y <z> & w", "x &amp; y <z> & w",
                                      "closed", "returned"}));
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->webView()->title(), QStringLiteral("typed & <kept>"), Timeout);
    }

    void documentButtonAndRetComAfterNavigations()
    {
        QVERIFY(startEngine());
        QStringList opened;
        m_panel->setDocumentLauncher(std::make_unique<FakeLauncher>(&opened));
        QVERIFY(load("/report.xls"));
        QVERIFY(m_panel->ssCom(9)->isEnabled());
        m_panel->RetCom(9);
        QCOMPARE(opened, QStringList{url("/report.xls")});
        QVERIFY(load("/LETTER.DOC"));
        QTest::mouseClick(m_panel->ssCom(9), Qt::LeftButton);
        QCOMPARE(opened, (QStringList{url("/report.xls"), url("/LETTER.DOC")}));

        QVERIFY(load("/page1"));
        QVERIFY(!m_panel->ssCom(9)->isEnabled());
        QTest::qWait(200);
        const auto pageRequests = [this] {
            QStringList pages = m_server.requests();
            pages.removeAll(QStringLiteral("/favicon.ico"));
            return pages.size();
        };
        const int requests = pageRequests();
        // Outside the row nothing happens; 9 runs while its button is disabled, but has nothing to show.
        for (const int index : {1, 9, 10, 0, -1})
            m_panel->RetCom(index);
        QTest::qWait(200);
        QCOMPARE(m_panel->CurURL(), url("/page1"));
        QCOMPARE(pageRequests(), requests);
        QCOMPARE(opened.size(), 2);
    }

    void backForwardHomeSearch()
    {
        QVERIFY(startEngine());
        m_panel->RetCom(2); // nothing to go back to: nothing happens
        QVERIFY(load("/page1"));
        // Enter in the box goes to its text, whatever the modifiers.
        m_panel->SetText(url("/page2"));
        QTest::keyClick(m_panel->txURL(), Qt::Key_Return, Qt::ShiftModifier);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->CurURL(), url("/page2"), Timeout);
        m_panel->RetCom(2);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->CurURL(), url("/page1"), Timeout);
        m_panel->RetCom(3);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->CurURL(), url("/page2"), Timeout);
        m_panel->RetCom(4);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->CurURL(), url("/maps"), Timeout);
        QTest::mouseClick(m_panel->ssCom(5), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->CurURL(), url("/"), Timeout);
    }

    void printsToPdfWithThePageSetupKeptAndSavesThePage()
    {
        QVERIFY(startEngine());
        auto dialogs = std::make_unique<FakeDialogs>();
        FakeDialogs *fake = dialogs.get();
        fake->pdfPath = m_temp.filePath(QStringLiteral("printed.pdf"));
        fake->savePath = m_temp.filePath(QStringLiteral("saved.mhtml"));
        m_panel->setDialogs(std::move(dialogs));
        QVERIFY(load("/page1"));

        m_panel->RetCom(7);
        QCOMPARE(m_panel->printer().pageLayout().orientation(), QPageLayout::Landscape);
        QSignalSpy printed(m_panel, &uWeb::printFinished);
        m_panel->RetCom(6);
        QCOMPARE(fake->printAsked, 1);
        QVERIFY(printed.wait(60000) || !printed.isEmpty());
        QCOMPARE(printed.first().first().toBool(), true);
        QFile pdf(fake->pdfPath);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5).startsWith("%PDF"));
        QCOMPARE(m_panel->printer().pageLayout().orientation(), QPageLayout::Landscape);

        QSignalSpy saved(m_panel, &uWeb::saveFinished);
        m_panel->RetCom(8);
        QVERIFY(saved.wait(Timeout) || !saved.isEmpty());
        QCOMPARE(saved.first().first().toBool(), true);
        QFile file(fake->savePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("one"));
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

    void layoutInTwipsOnlyWhileTheMainWindowIsOpen()
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

        // With the main window closed nothing is laid out.
        Program::MainOpen = false;
        m_panel->resize(Twips::toPixels(QSize(7000, 2500), dx, dy));
        QCOMPARE(m_panel->txURL()->geometry(), box);
        QCOMPARE(m_panel->WebBrw()->geometry(), px(QRect(0, 330, w, h - 345)));
    }
};

QTEST_MAIN(tst_uWeb)
#include "tst_uWeb.moc"
