// The program itself, started as a user or a calling program starts it, on a real X display;
// keys are typed with xdotool as a person would type them.
#include "app/Cp932.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

bool xdotool(const QStringList &args, QString *out = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return false;
    if (out)
        *out = QString::fromLatin1(p.readAllStandardOutput()).trimmed();
    return true;
}

} // namespace

class tst_Executable : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;

    // Starts the program with the given argument text, waits for its window and types the key.
    int runAndPress(const QStringList &args, const char *key, QByteArray *stderrText = nullptr)
    {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", m_home.filePath("config"));
        env.insert("XDG_DATA_HOME", m_home.filePath("data"));
        env.insert("XDG_CACHE_HOME", m_home.filePath("cache"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VELMORA_EXE), args);
        if (!program.waitForStarted(10000))
            return -100;
        QString window;
        if (!xdotool({"search", "--sync", "--onlyvisible", "--pid", QString::number(program.processId())},
                     &window) ||
            window.isEmpty())
            return -101;
        window = window.split(u'\n').last();
        QTest::qWait(1000); // a person looks before typing
        if (!xdotool({"windowfocus", "--sync", window}) || !xdotool({"key", "--clearmodifiers", key}))
            return -102;
        if (!program.waitForFinished(60000))
            return -103;
        if (stderrText)
            *stderrText = program.readAllStandardError();
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -104;
    }

private slots:
    void opensAndClosesCleanly()
    {
        QCOMPARE(runAndPress({}, "F12"), 0);
        // The window's place was saved on the way out.
        QVERIFY(readBytes(m_home.filePath("config/Norvane/velmora/User.xml")).contains("<HEIGHT>"));
    }

    void servesARequest()
    {
        // A path with a blank, unquoted: the argument text arrives whole.
        const QString path = m_home.filePath("order 1Velmo.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(*Cp932::encode("VelmoraA\t100-0001\t東京都千代田区\t会社\t\t"));
        f.close();
        const QStringList args = path.split(u' ');

        QCOMPARE(runAndPress(args, "F12"), 0);
        QCOMPARE(readBytes(path), *Cp932::encode("VelmoraA\t100-0001\t東京都千代田区\t会社\t\t"));

        QCOMPARE(runAndPress(args, "F9"), 0);
        QCOMPARE(readBytes(path), *Cp932::encode("VelmoraA\t100-0001\t東京都千代田区\t会社\t\t0"));
        QCOMPARE(QDir(m_home.path()).entryList(QDir::Files), QStringList{"order 1Velmo.txt"});
    }
};

QTEST_GUILESS_MAIN(tst_Executable)
#include "tst_Executable.moc"
