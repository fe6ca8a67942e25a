// Writes that fail for real: a file size limit (POSIX only) makes them fail as a full disk does.
#include "core/Cp932Table.h"
#include "core/FileSystem.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;

class tst_FailedWrites : public QObject {
    Q_OBJECT

    const Cp932Table m_codec;
    const FileSystem m_files{m_codec};

private slots:
    void failedWritesLeaveTheOldFileWhole_data()
    {
        QTest::addColumn<QString>("text"); // given to writeText; when null, 64 KiB go to writeAtomic
        QTest::newRow("a text of a settings file's size") << QString(4000, u'東');
        QTest::newRow("bytes beyond Qt's write buffer") << QString();
    }
    void failedWritesLeaveTheOldFileWhole()
    {
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"User.xml"_s);
        QVERIFY(m_files.writeText(path, u"東京\r\n"_s));
        QVERIFY(!m_files.writeText(path, u"東京𠮷"_s)); // CP932 cannot store it: nothing is written
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool written = text.isNull() ? m_files.writeAtomic(path, QByteArray(64 * 1024, 'x'))
                                           : m_files.writeText(path, text);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!written);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\x93\x8c\x8b\x9e\r\n"));
        QCOMPARE(
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList{u"User.xml"_s});
    }
};

QTEST_GUILESS_MAIN(tst_FailedWrites)
#include "tst_failedWrites.moc"
