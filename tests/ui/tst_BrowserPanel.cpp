#include "support/LocalHttpServer.h"
#include "ui/BrowserPanel.h"

#include <QApplication>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kWebTimeout = 20000;

QByteArray page(const QByteArray &body)
{
    return "<!DOCTYPE html><html><head><meta charset='utf-8'><title>t</title></head><body>" + body +
           "</body></html>";
}
} // namespace

// The panel on the real engine against pages on 127.0.0.1, a new panel with its engine up per test.
class tst_BrowserPanel : public QObject {
    Q_OBJECT
    LocalHttpServer m_server;
    std::unique_ptr<BrowserPanel> m_panel;
    // Every text the URL box has shown, in order.
    QStringList m_box;

    QString url(const QString &path) const { return m_server.base() + path; }
    // Shows a page through the setter and waits until it has arrived.
    [[nodiscard]] bool load(const QString &path)
    {
        m_panel->setUrl(url(path));
        return QTest::qWaitFor([&] { return m_panel->currentUrl() == url(path); }, kWebTimeout);
    }

private slots:
    void initTestCase()
    {
        // The web profile's folders go to a test location, not the user's.
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_server.start());
        for (const QString &path : {u"/maps"_s, u"/page1"_s, u"/inner"_s, u"/popup"_s, u"/report.xls"_s})
            m_server.addPage(path, page(path.toUtf8()));
        m_server.addPage(u"/busy"_s,
                         page("<iframe src='/inner'></iframe><a id='a' href='/popup' target='_blank'>a</a>"
                              "<script>window.open('/popup');document.getElementById('a').click();"
                              "</script>"));
    }
    void init()
    {
        m_panel = std::make_unique<BrowserPanel>();
        m_panel->show();
        QTRY_VERIFY_WITH_TIMEOUT(m_panel->isEngineReady(), kWebTimeout);
        m_box.clear();
        connect(m_panel->urlEdit(), &QLineEdit::textChanged, this,
                [this](const QString &text) { m_box << text; });
    }
    void cleanup() { m_panel.reset(); }

    void boxSaysLookingThenThePageAndSameUrlInOtherCaseReloads()
    {
        // Encoded as the program's map queries are: the engine must hand it back alike.
        const QString query = u"/maps?q=%E6%9D%B1%E4%BA%AC&hl=ja&z=16"_s;
        QVERIFY(load(query));
        // The box reads as Japanese; the page asked for stays the encoded one.
        const QString readable = url(u"/maps?q=東京&hl=ja&z=16"_s);
        QVERIFY2(m_box.contains(u"読み込み中… "_s + readable), qPrintable(m_box.join(u'|')));
        QCOMPARE(m_box.last(), readable);
        const qsizetype asked = m_server.requests().count(query);
        m_panel->setUrl(url(query).toUpper());
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requests().count(query), asked + 1, kWebTimeout);
        QVERIFY(!m_server.requests().join(u' ').contains(u"/MAPS"_s));
        QCOMPARE(m_panel->currentUrl(), url(query));
    }

    void framesAndNewWindowsLeaveThePageAsItIs()
    {
        const qsizetype windows = QApplication::topLevelWidgets().size();
        QVERIFY(load(u"/busy"_s));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requests().contains(u"/inner"_s), kWebTimeout);
        QTest::qWait(500);
        QCOMPARE(m_panel->currentUrl(), url(u"/busy"_s));
        QCOMPARE(m_box.last(), url(u"/busy"_s));
        QVERIFY2(!m_box.join(u'|').contains(u"/inner"_s), qPrintable(m_box.join(u'|')));
        QVERIFY(!m_server.requests().contains(u"/popup"_s));
        QCOMPARE(QApplication::topLevelWidgets().size(), windows);
    }

    void scriptUrlRunsInThePageShownWithOurPromptBox()
    {
        QVERIFY(load(u"/page1"_s));
        QString asked;
        connect(m_panel.get(), &BrowserPanel::promptShown, m_panel.get(), [&asked](PromptDialog *dialog) {
            asked = dialog->value();
            dialog->valueEdit()->setText(u"typed"_s);
            dialog->accept();
        });
        m_panel->setUrl(u"javascript:void(document.title=prompt('',%22a%20b%22))"_s);
        QTRY_COMPARE_WITH_TIMEOUT(m_panel->webView()->title(), u"typed"_s, kWebTimeout);
        QCOMPARE(asked, u"a b"_s);
        QCOMPARE(m_panel->currentUrl(), url(u"/page1"_s));
        // The document button follows the page that arrived.
        QVERIFY(!m_panel->toolButton(BrowserTool::Document)->isEnabled());
        QVERIFY(load(u"/report.xls"_s));
        QVERIFY(m_panel->toolButton(BrowserTool::Document)->isEnabled());
    }

    void unreachableAddressGetsOurPageAndIsTriedAgain()
    {
        QTcpServer server; // nothing listens on its port at first
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const quint16 port = server.serverPort();
        const QString dead = u"http://127.0.0.1:%1/maps?q=x"_s.arg(port);
        server.close();
        const auto shown = [this](const QString &script) {
            QVariant result;
            m_panel->webView()->page()->runJavaScript(script, [&result](const QVariant &v) { result = v; });
            return QTest::qWaitFor([&] { return result.isValid(); }, kWebTimeout) ? result.toString()
                                                                                  : QString();
        };
        m_panel->setUrl(dead);
        QTRY_VERIFY_WITH_TIMEOUT(
            shown(u"document.body.innerText"_s).contains(u"地図サービスに接続できませんでした"_s),
            kWebTimeout);
        QCOMPARE(m_panel->urlEdit()->text(), dead);
        QCOMPARE(m_panel->currentUrl(), dead);
        QCOMPARE(shown(u"document.getElementById('retry').href"_s), dead);
        // The service is back: asking again for the page shown, as F5 does, tries the address itself.
        LocalHttpServer back;
        QVERIFY(back.start(port));
        m_panel->setUrl(dead);
        QTRY_VERIFY_WITH_TIMEOUT(back.requests().contains(u"/maps?q=x"_s), kWebTimeout);
    }

    void layoutFollowsResizesOnlyWhileEnabled()
    {
        m_panel->setLayoutEnabled(true);
        m_panel->resize(700, 300);
        QTRY_COMPARE(m_panel->browserWidget()->width(), 700);
        QVERIFY(m_panel->urlEdit()->geometry().right() < 700);
        m_panel->setLayoutEnabled(false);
        const QRect browser = m_panel->browserWidget()->geometry();
        const QRect box = m_panel->urlEdit()->geometry();
        m_panel->resize(500, 200);
        QTRY_COMPARE(m_panel->size(), QSize(500, 200));
        QCOMPARE(m_panel->browserWidget()->geometry(), browser);
        QCOMPARE(m_panel->urlEdit()->geometry(), box);
    }
};

QTEST_MAIN(tst_BrowserPanel)
#include "tst_BrowserPanel.moc"
