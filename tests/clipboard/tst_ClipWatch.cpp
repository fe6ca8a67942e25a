#include "clipboard/ClipWatch.h"
#include "clipboard/ClipboardSource.h"

#include "common/FakeClipboard.h"

#include <QTest>

class tst_ClipWatch : public QObject {
    Q_OBJECT
private slots:
    void onlyModeOneSwitchesOn()
    {
        FakeClipboard clip;
        QStringList taken;
        ClipWatch watch(clip, [&](const QString &t) { taken << t; });
        watch.watch(1);
        watch.watch(1);
        QCOMPARE(clip.starts, 1);
        watch.watch(-1);
        QVERIFY(!watch.isOn());
        watch.watch(0);
        QCOMPARE(clip.stops, 1);
        watch.watch(2);
        QVERIFY(!watch.isOn());
        QCOMPARE(clip.starts, 1);
    }

    void handsOnLaterTextChangesOnly()
    {
        FakeClipboard clip;
        clip.content = QStringLiteral("already there");
        QStringList taken;
        ClipWatch watch(clip, [&](const QString &t) { taken << t; });
        clip.copy(QStringLiteral("before"));
        watch.watch(1);
        QVERIFY(taken.isEmpty()); // nothing at switch-on
        clip.copy(QStringLiteral("before"));
        clip.copy(std::nullopt); // a picture only
        clip.copy(QStringLiteral("(35.6, 139.7)"));
        QCOMPARE(taken, (QStringList{"before", "(35.6, 139.7)"}));
        watch.watch(0);
        clip.copy(QStringLiteral("after"));
        QCOMPARE(taken.size(), 2);
    }

    void nestedNoticeDoesNotStartASecondEvent()
    {
        FakeClipboard clip;
        QStringList taken;
        ClipWatch *w = nullptr;
        ClipWatch watch(clip, [&](const QString &t) {
            taken << t;
            if (taken.size() == 1)
                clip.copy(QStringLiteral("nested")); // a notice while the first is handled
        });
        w = &watch;
        w->watch(1);
        clip.copy(QStringLiteral("first"));
        QCOMPARE(taken, QStringList{"first"});
        clip.copy(QStringLiteral("third"));
        QCOMPARE(taken, (QStringList{"first", "third"}));
    }

    void unreadableOrFailingClipboardKeepsWatching()
    {
        FakeClipboard clip;
        QStringList taken;
        ClipWatch watch(clip, [&](const QString &t) {
            if (t == "throw")
                throw std::runtime_error("failed");
            taken << t;
        });
        watch.watch(1);
        clip.held = true;
        clip.copy(QStringLiteral("held"));
        clip.held = false;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, clip.copy(QStringLiteral("throw")));
        clip.copy(QStringLiteral("next"));
        QCOMPARE(taken, QStringList{"next"});
    }

    void destructionSwitchesOff()
    {
        FakeClipboard clip;
        {
            ClipWatch watch(clip, [](const QString &) {});
            watch.watch(1);
        }
        QCOMPARE(clip.stops, 1);
    }
};

QTEST_GUILESS_MAIN(tst_ClipWatch)
#include "tst_ClipWatch.moc"
