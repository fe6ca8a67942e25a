#include "clipboard/ClipWatch.h"
#include "clipboard/ClipboardSource.h"

#include <QTest>

namespace {
class FakeClipboard : public ClipboardSource {
public:
    void startNotices(std::function<void()> onChange) override
    {
        ++starts;
        m_onChange = std::move(onChange);
    }
    void stopNotices() override
    {
        ++stops;
        m_onChange = nullptr;
    }
    bool hasText() const override { return content.has_value(); }
    std::optional<QString> text() const override
    {
        if (held)
            return std::nullopt;
        return content;
    }
    // What another program's copy does: new content, then the notice.
    void copy(std::optional<QString> newContent)
    {
        content = std::move(newContent);
        if (m_onChange)
            m_onChange();
    }

    std::optional<QString> content;
    bool held = false;
    int starts = 0;
    int stops = 0;

private:
    std::function<void()> m_onChange;
};
} // namespace

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
