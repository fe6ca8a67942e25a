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
        // The web engine talks a lot on its error channel; an unread pipe would fill and stop it.
        const QString log = m_home.filePath("program.log");
        program.setStandardOutputFile(QProcess::nullDevice());
        program.setStandardErrorFile(log);
        program.start(QStringLiteral(VELMORA_EXE), args);
        if (!program.waitForStarted(10000))
            return -100;
        // The window is created anew once when the browser comes up, so it is looked up again for
        // every try; a key that found no window is typed again.
        for (int attempt = 0; attempt < 10 && program.state() == QProcess::Running; ++attempt) {
            QTest::qWait(1000); // a person looks before typing
            QString windows;
            if (!xdotool({"search", "--onlyvisible", "--pid", QString::number(program.processId())},
                         &windows) ||
                windows.isEmpty())
                continue;
            const QString window = windows.split(u'\n').last();
            if (xdotool({"windowfocus", "--sync", window}) && xdotool({"key", "--clearmodifiers", key}))
                program.waitForFinished(5000);
        }
        if (program.state() != QProcess::NotRunning && !program.waitForFinished(30000)) {
            qWarning("%s", readBytes(log).right(2000).constData());
            return -103;
        }
        if (stderrText)
            *stderrText = readBytes(log);
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
        QCOMPARE(QDir(m_home.path()).entryList({"order*"}, QDir::Files), QStringList{"order 1Velmo.txt"});
    }
};

QTEST_GUILESS_MAIN(tst_Executable)
#include "tst_Executable.moc"
