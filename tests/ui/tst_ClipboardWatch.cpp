#include "support/FakeClipboard.h"
#include "ui/ClipboardWatch.h"

#include <QTest>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

class tst_ClipboardWatch : public QObject {
    Q_OBJECT
    FakeClipboard m_clipboard;
    QStringList m_taken;
    std::unique_ptr<ClipboardWatch> m_watch;

private slots:
    void init()
    {
        m_clipboard = FakeClipboard();
        m_taken.clear();
        // The handler copies once more while it runs, as a prompt box's own loop may let happen, and
        // fails on "fail".
        m_watch = std::make_unique<ClipboardWatch>(m_clipboard, [this](const QString &text) {
            if (text == u"fail"_s)
                throw std::runtime_error("handler failed");
            m_taken << text;
            if (text == u"first"_s)
                m_clipboard.copy(u"nested"_s);
        });
        m_watch->start();
    }
    void cleanup() { m_watch.reset(); }

    void noticeDuringHandlingIsDropped()
    {
        m_clipboard.copy(u"first"_s);
        m_clipboard.copy(u"second"_s);
        QCOMPARE(m_taken, (QStringList{u"first"_s, u"second"_s}));
    }

    void unreadableClipboardOrFailingHandlerKeepsListening()
    {
        m_clipboard.held = true;
        m_clipboard.copy(u"held"_s);
        m_clipboard.held = false;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_clipboard.copy(u"fail"_s));
        m_clipboard.copy(u"next"_s);
        QCOMPARE(m_taken, QStringList{u"next"_s});
    }
};

QTEST_GUILESS_MAIN(tst_ClipboardWatch)
#include "tst_ClipboardWatch.moc"
