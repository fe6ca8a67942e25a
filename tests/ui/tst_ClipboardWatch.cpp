#include "support/FakeClipboard.h"
#include "ui/ClipboardWatch.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class tst_ClipboardWatch : public QObject {
    Q_OBJECT

private slots:
    void takesCopiesOnlyWhileOnAndOutlivesAnUnreadableClipboard()
    {
        FakeClipboard clipboard;
        QStringList taken;
        ClipboardWatch watch(clipboard, [&taken](const QString &text) { taken << text; });
        clipboard.copy(u"before"_s);
        watch.start();
        watch.start();
        clipboard.held = true;
        clipboard.copy(u"held"_s);
        clipboard.held = false;
        clipboard.copy(std::nullopt);
        clipboard.copy(u"next"_s);
        watch.stop();
        clipboard.copy(u"after"_s);
        QCOMPARE(taken, QStringList{u"next"_s});
        QVERIFY(!clipboard.watching());
    }
};

QTEST_GUILESS_MAIN(tst_ClipboardWatch)
#include "tst_ClipboardWatch.moc"
