// The program itself, started as a calling program or a person starts it, on a real X display and
// driven with xdotool as a person would: request files answered byte for byte, keys acted on from the
// moment the window appears, the map centre taken through the real clipboard, the window's place
// saved, and an answer that cannot be written.
#include "support/LocalHttpServer.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

// Shift-JIS bytes written out by hand, so that nothing here shares the program's encoder.
const QByteArray kCompany = "\x8a\x94\x8e\xae\x89\xef\x8e\xd0"; // 株式会社
const QByteArray kChiyoda =                                     // 東京都千代田区千代田
    "\x93\x8c\x8b\x9e\x93\x73\x90\xe7\x91\xe3\x93\x63\x8b\xe6\x90\xe7\x91\xe3\x93\x63";

const QByteArray kMapObjectPage = R"html(<html><head><script>
var gApplication = {getMap: function() { return {getCenter: function() {
    return {toString: function() { return "(35.681382, 139.766084)"; }}; }}; }};
</script></head><body>map</body></html>)html";

// Every wait has a limit; the event loop runs meanwhile, so the page server keeps answering.
bool waitFor(const std::function<bool()> &done, int ms)
{
    const QDeadlineTimer limit(ms);
    while (!done()) {
        if (limit.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}

bool xdotool(const QStringList &args, QString *out = nullptr)
{
    QProcess p;
    p.start(u"xdotool"_s, args);
    const bool ended = waitFor([&] { return p.state() == QProcess::NotRunning; }, 30000);
    if (!ended) {
        p.kill();
        p.waitForFinished(5000);
    }
    if (out)
        *out = QString::fromLatin1(p.readAllStandardOutput()).trimmed();
    return ended && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The program's visible windows; with a title pattern, only those whose title matches.
QStringList windowsOf(const QProcess &program, const QString &title = {})
{
    QStringList args{u"search"_s, u"--onlyvisible"_s, u"--all"_s, u"--pid"_s,
                     QString::number(program.processId())};
    if (!title.isEmpty())
        args << u"--name"_s << title;
    QString out;
    xdotool(args, &out); // ends with 1 when there is none
    return out.isEmpty() ? QStringList() : out.split(u'\n');
}

// The main window as soon as it is on screen: it is the window to the end.
QString firstWindow(const QProcess &program)
{
    QStringList now;
    waitFor([&] { return !(now = windowsOf(program)).isEmpty(); }, 60000);
    return now.value(0);
}

bool press(const QString &window, const QString &key)
{
    return !window.isEmpty() && xdotool({u"windowfocus"_s, u"--sync"_s, window}) &&
           xdotool({u"key"_s, u"--clearmodifiers"_s, key});
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class tst_program : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    LocalHttpServer m_server;

    void start(QProcess &program, const QStringList &args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, m_home.path());
        env.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        env.insert(u"XDG_DATA_HOME"_s, m_home.filePath(u"data"_s));
        env.insert(u"XDG_CACHE_HOME"_s, m_home.filePath(u"cache"_s));
        env.insert(u"VELMORA_MAP_BASE"_s, m_server.base());
        program.setProcessEnvironment(env);
        // The web engine talks a lot on its error channel; an unread pipe would fill and stop it.
        program.setStandardOutputFile(QProcess::nullDevice());
        program.setStandardErrorFile(m_home.filePath(u"program.log"_s), QIODevice::Append);
        program.start(QStringLiteral(VELMORA_EXE), args);
    }

    // The program's exit code once it ends; a program that does not end is killed.
    static int exitCode(QProcess &program)
    {
        if (!waitFor([&] { return program.state() == QProcess::NotRunning; }, 60000)) {
            program.kill();
            program.waitForFinished(10000);
            return -1;
        }
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
    }

    // Starts the program on a request file as a calling program does, the path unquoted (a blank in
    // it splits it into two arguments), and gives the main window as soon as it is on screen.
    QString startRequest(QProcess &program, const QString &path)
    {
        start(program, path.split(u' '));
        return firstWindow(program);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QVERIFY(m_server.start());
        m_server.addPage(u"/maps"_s, kMapObjectPage);
        m_server.addPage(u"/maps/@35.6581,139.7017,16z"_s, "<html><body>map</body></html>");
    }

    void answersARequestByteForByte()
    {
        const QString path = m_home.filePath(u"order 1Velmo.txt"_s);
        const QByteArray request = "VelmoraA\t100-0001\t\t" + kCompany + "\t\t";
        QVERIFY(writeFile(path, request));
        {
            QProcess program;
            QVERIFY(press(startRequest(program, path), u"F12"_s));
            QCOMPARE(exitCode(program), 0);
            QCOMPARE(readFile(path), request);
        }
        // F4 at once, while the web engine comes up: the window must neither be made anew nor drop it.
        const qsizetype asked = m_server.requests().size();
        QProcess program;
        const QString window = startRequest(program, path);
        QVERIFY(press(window, u"F4"_s));
        // The view arrives before the page is asked for: by then the window would have been made anew.
        QVERIFY(waitFor([&] { return m_server.requests().size() > asked; }, 60000));
        QCOMPARE(windowsOf(program), QStringList{window});
        QVERIFY(press(window, u"F9"_s));
        QCOMPARE(exitCode(program), 0);
        QCOMPARE(readFile(path), QByteArray("VelmoraA\t100-0001\t" + kChiyoda + '\t' + kCompany + "\t\t0"));
        QCOMPARE(QDir(m_home.path()).entryList({u"order*"_s}, QDir::Files | QDir::Hidden),
                 QStringList{u"order 1Velmo.txt"_s});
    }

    void takesTheMapCentreThroughTheClipboard_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QByteArray>("position");
        QTest::newRow("map object") << u"/maps?q=start"_s << QByteArray("35.681382,+139.766084");
        QTest::newRow("page address") << u"/maps/@35.6581,139.7017,16z"_s << QByteArray("35.6581,+139.7017");
    }

    void takesTheMapCentreThroughTheClipboard()
    {
        QFETCH(QString, page);
        QFETCH(QByteArray, position);
        const QByteArray base = m_server.base().toLatin1();
        const QString path = m_home.filePath(u"centreVelmo.txt"_s);
        QVERIFY(writeFile(path, "VelmoraA\t\t\t\t" + base + page.toLatin1() + '\t' + base + page.toLatin1()));
        const qsizetype asked = m_server.requests().size();
        QProcess program;
        const QString window = startRequest(program, path);
        QVERIFY(waitFor([&] { return m_server.requests().size() > asked; }, 60000));
        // The map service sees the engine's Chromium, not the embedding engine, and Japanese first.
        const QByteArray head = m_server.heads().last();
        QVERIFY2(head.contains(" Chrome/") && !head.contains("QtWebEngine") &&
                     head.contains("\r\nAccept-Language: ja"),
                 head.constData());
        // F8 while the page may still be loading: the box comes once it has loaded.
        QVERIFY(press(window, u"F8"_s));
        QStringList box;
        QVERIFY(waitFor([&] { return !(box = windowsOf(program, u"^Velmora$"_s)).isEmpty(); }, 60000));
        QVERIFY(press(box.first(), u"ctrl+c"_s));
        const QString copied = u'(' + QString::fromLatin1(position).replace(u'+', u' ') + u')';
        QVERIFY(waitFor([&] { return QGuiApplication::clipboard()->text() == copied; }, 20000));
        QVERIFY(press(box.first(), u"Escape"_s));
        QVERIFY(waitFor([&] { return windowsOf(program, u"^Velmora$"_s).isEmpty(); }, 20000));
        QVERIFY(press(window, u"F9"_s));
        QCOMPARE(exitCode(program), 0);
        QCOMPARE(readFile(path),
                 QByteArray("VelmoraA\t\t\t\t" + base + "/maps?q=" + position + "&hl=ja&z=16\t1"));
    }

    void savesTheWindowPlaceOnClose()
    {
        const QString settings = m_home.filePath(u"config/Norvane/velmora/User.xml"_s);
        QFile::remove(settings);
        QProcess program;
        start(program, {});
        // Started by hand, the web engine waits for the first page asked for: the window stays the one
        // first shown all the same.
        const QString window = firstWindow(program);
        const qsizetype asked = m_server.requests().size();
        // The grid starts at the postal code; a code typed gives F6 something to search.
        QVERIFY(xdotool({u"type"_s, u"--window"_s, window, u"1000001"_s}));
        QVERIFY(press(window, u"F6"_s));
        QVERIFY(waitFor([&] { return m_server.requests().size() > asked; }, 30000));
        QCOMPARE(windowsOf(program), QStringList{window});
        QVERIFY(press(window, u"F12"_s));
        QCOMPARE(exitCode(program), 0);
        QVERIFY(readFile(settings).contains("<HEIGHT>"));
    }

    // A window manager puts its frame around the window some time after it shows; the place saved is
    // the outer one, so the window must not grow by the frame at every start.
    void keepsItsSizeOverStartsUnderAWindowManager()
    {
        const QString started = m_home.filePath(u"wm-started"_s);
        QProcess wm;
        wm.start(u"openbox"_s, {u"--startup"_s, u"touch "_s + started});
        const auto stop = qScopeGuard([&] {
            wm.terminate();
            wm.waitForFinished(10000);
        });
        QVERIFY(waitFor([&] { return QFile::exists(started); }, 30000));
        const QString settings = m_home.filePath(u"config/Norvane/velmora/User.xml"_s);
        QFile::remove(settings);
        const auto size = [](const QString &window) {
            QString out;
            xdotool({u"getwindowgeometry"_s, u"--shell"_s, window}, &out);
            return out.section(u"WIDTH="_s, 1).section(u'\n', 0, 0) + u'x' +
                   out.section(u"HEIGHT="_s, 1).section(u'\n', 0, 0);
        };
        QString firstSize;
        QList<QByteArray> saved;
        for (int run = 0; run < 3; ++run) {
            QProcess program;
            start(program, {});
            const QString window = firstWindow(program);
            QVERIFY(waitFor(
                [&] {
                    QProcess xprop;
                    xprop.start(u"xprop"_s, {u"-id"_s, window, u"_NET_FRAME_EXTENTS"_s});
                    return xprop.waitForFinished(10000) && xprop.readAll().contains(" = ");
                },
                30000));
            if (run == 0)
                firstSize = size(window);
            QVERIFY2(waitFor([&] { return size(window) == firstSize; }, 30000), qPrintable(size(window)));
            QVERIFY(press(window, u"F12"_s));
            QCOMPARE(exitCode(program), 0);
            const QByteArray xml = readFile(settings);
            saved << xml.mid(xml.indexOf("<TOP>"), xml.indexOf("</HEIGHT>") - xml.indexOf("<TOP>"));
        }
        QVERIFY(saved[0].contains("<HEIGHT>"));
        QCOMPARE(saved[1], saved[0]);
        QCOMPARE(saved[2], saved[0]);
    }

    void keepsTheRequestWhenTheAnswerCannotBeWritten()
    {
        const QString dir = m_home.filePath(u"tiny"_s);
        QVERIFY(QDir().mkpath(dir));
        if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"tmpfs"_s, dir}) !=
            0)
            QSKIP("mounting a tmpfs is not permitted here");
        const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {dir}); });
        const QString path = dir + u"/full Velmo.txt"_s;
        const QByteArray request = "VelmoraA\t100-0001\t\t" + kCompany + "\t\t";
        QVERIFY(writeFile(path, request));
        QFile filler(dir + u"/filler"_s);
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) == 4096) {
        }
        filler.close();
        QFile probe(dir + u"/probe"_s); // genuinely full: not one more byte fits
        QVERIFY(!probe.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || probe.write("x", 1) != 1);
        probe.close();
        QVERIFY(probe.remove());

        QProcess program;
        QVERIFY(press(startRequest(program, path), u"F9"_s));
        // The program tells the user, and ends once the message is dismissed.
        QStringList box;
        QVERIFY(waitFor([&] { return !(box = windowsOf(program, u"^Velmora$"_s)).isEmpty(); }, 20000));
        QVERIFY(press(box.first(), u"Return"_s));
        QCOMPARE(exitCode(program), 0);
        QCOMPARE(readFile(path), request);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden),
                 QStringList({u"filler"_s, u"full Velmo.txt"_s}));
    }
};

QTEST_MAIN(tst_program)
#include "tst_program.moc"
