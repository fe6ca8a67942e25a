// CP932 against the system's own table asked directly, writes that fail for real, help shortcuts.
#include "FakeShellLauncher.h"
#include "core/FileSystem.h"
#include "platform/ShellActions.h"
#include "platform/SystemCp932Codec.h"
#include "platform/SystemShortcutWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <iconv.h>
#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kRefused = u"<refused>"_s;

// The reference: iconv itself, one character or byte sequence at a time; "<refused>" when it fails.
class Reference {
public:
    Reference(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Reference() { iconv_close(m_cd); }
    QByteArray operator()(QByteArray in) const
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char out[16];
        char *inPtr = in.data(), *outPtr = out;
        size_t inLeft = size_t(in.size()), outLeft = sizeof out;
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
            return kRefused.toLatin1();
        return QByteArray(out, qsizetype(sizeof out - outLeft));
    }

private:
    iconv_t m_cd;
};

QByteArray utf16Bytes(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

} // namespace

class tst_Platform : public QObject {
    Q_OBJECT

    const SystemCp932Codec m_codec;
    const FileSystem m_files{m_codec};

private slots:
    void encodesEveryBmpCharacterLikeTheSystem()
    {
        const Reference encode("CP932", "UTF-16LE"), decode("UTF-16LE", "CP932");
        QString all;
        QByteArray allBytes;
        for (char32_t cp = 0; cp <= 0xFFFF; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            const QString text(QChar(char16_t(cp)));
            QByteArray expected = encode(utf16Bytes(text));
            // A character the table maps one way only (to a look-alike) would come back as another.
            if (expected != kRefused.toLatin1() && decode(expected) != utf16Bytes(text))
                expected = kRefused.toLatin1();
            QCOMPARE(m_codec.encode(text).value_or(kRefused.toLatin1()), expected);
            if (expected == kRefused.toLatin1())
                continue;
            QCOMPARE(m_codec.decode(expected).value_or(kRefused), text);
            all += text;
            allBytes += expected;
        }
        // ASCII, half-width kana, JIS X 0208 and the NEC and IBM rows.
        QVERIFY2(all.size() > 7800, qPrintable(QString::number(all.size())));
        QCOMPARE(m_codec.encode(all).value_or(kRefused.toLatin1()), allBytes);
        QCOMPARE(m_codec.decode(allBytes).value_or(kRefused), all);
    }

    void decodesEveryOneAndTwoByteSequenceLikeTheSystem()
    {
        const Reference decode("UTF-16LE", "CP932");
        for (int n = 0; n < 256 + 65536; ++n) {
            const QByteArray bytes = n < 256 ? QByteArray(1, char(n)) : QByteArray{char(n >> 8), char(n)};
            const QByteArray expected = decode(bytes);
            const QString text = expected == kRefused.toLatin1()
                                     ? kRefused
                                     : QString(reinterpret_cast<const QChar *>(expected.constData()),
                                               expected.size() / 2);
            QCOMPARE(m_codec.decode(bytes).value_or(kRefused), text);
        }
    }

    void firstUnencodable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("first");
        QTest::newRow("all storable") << u"東京ﾒﾓ\\~\r\n"_s << QString();
        QTest::newRow("a pair counts as one") << u"東𠮷é"_s << u"𠮷"_s;
        QTest::newRow("lone high half at the end") << u"ab"_s + QChar(0xD842) << QString(QChar(0xD842));
        QTest::newRow("mapped one way only") << u"a\u00A2"_s << u"\u00A2"_s;
    }
    void firstUnencodable()
    {
        QFETCH(QString, text);
        QFETCH(QString, first);
        QCOMPARE(m_codec.firstUnencodable(text), first);
    }

    void failedWritesLeaveTheOldFileWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"User.xml"_s);
        QVERIFY(m_files.writeText(path, u"東京\r\n"_s));
        const QByteArray old = "\x93\x8c\x8b\x9e\r\n";
        QCOMPARE(m_files.readAll(path).value_or(""), old);

        // A file size limit makes the writes themselves fail, as a full disk does; a plain write shows
        // that it really does here.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        QFile probe(dir.filePath(u"probe"_s));
        const bool limitHolds = probe.open(QIODevice::WriteOnly) && !(probe.write(QByteArray(8192, 'x')) == 8192 && probe.flush());
        probe.remove();
        const bool bytesWritten = m_files.writeAtomic(path, QByteArray(64 * 1024, 'x'));
        const bool textWritten = m_files.writeText(path, QString(8192, u'東'));
        setrlimit(RLIMIT_FSIZE, &saved);
        if (!limitHolds)
            QSKIP("the file size limit is not enforced here");

        QVERIFY(!bytesWritten);
        QVERIFY(!textWritten);
        QVERIFY(!m_files.writeText(path, u"東京𠮷"_s)); // CP932 cannot store it: nothing is written
        QCOMPARE(m_files.readAll(path).value_or(""), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{u"User.xml"_s});
    }

    void helpOpensThroughItsShortcut_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("environment"); // VELMORA_HELP_BASE, unset when empty
        QTest::addColumn<QString>("target");
        const QString base = u"file:///opt/velmora/help/"_s;
        QTest::newRow("lower case, .htm added") << u"Velmora"_s << QString() << base + u"velmora.htm"_s;
        QTest::newRow("own extension kept") << u"Guide.HTML"_s << QString() << base + u"guide.html"_s;
        QTest::newRow("a dot anywhere counts") << u"v1.2/Start"_s << QString() << base + u"v1.2/start"_s;
        QTest::newRow("VELMORA_HELP_BASE") << u"Velmora"_s << u"http://127.0.0.1:8123/docs"_s
                                           << u"http://127.0.0.1:8123/docs/velmora.htm"_s;
    }
    void helpOpensThroughItsShortcut()
    {
        QFETCH(QString, page);
        QFETCH(QString, environment);
        QFETCH(QString, target);
        QTemporaryDir dir;
        const QString userData = dir.path() + u'/';
        SystemShortcutWriter shortcuts(m_files);
        FakeShellLauncher launcher;
        const ShellActions shell({nullptr, &launcher, &shortcuts, nullptr, &m_files},
                                 ProgramIdentity(u"/opt/velmora/Velmora_dv"_s), userData,
                                 u"file:///opt/velmora/help"_s);
        if (!environment.isEmpty())
            qputenv("VELMORA_HELP_BASE", environment.toUtf8());
        const bool opened = shell.openHelp(page);
        qunsetenv("VELMORA_HELP_BASE");
        QVERIFY(opened);
        QCOMPARE(launcher.calls.size(), 1);
        QCOMPARE(launcher.calls[0].path, userData + u"Velmora_help.desktop"_s);
        QCOMPARE(launcher.calls[0].target, target);
        QFile entry(launcher.calls[0].path);
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QVERIFY(entry.readAll().contains("\nURL=" + target.toUtf8() + '\n'));
    }
};

QTEST_GUILESS_MAIN(tst_Platform)
#include "tst_platform.moc"
