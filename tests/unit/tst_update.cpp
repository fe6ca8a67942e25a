// The postal data's update over HTTPS from a server of the test's own on 127.0.0.1: only a sound,
// current download replaces the user's files, and every failure leaves them as they were.
#include "address/PostalDirectoryLoader.h"
#include "address/ZipEntryReader.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "support/LocalHttpsServer.h"
#include "support/ZipOf.h"
#include "update/NetworkFetcher.h"
#include "update/PostalUpdate.h"

#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file of the folder by name, with its bytes.
QMap<QString, QByteArray> contentOf(const QString &folder)
{
    QMap<QString, QByteArray> content;
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        content.insert(name, fileBytes(QDir(folder).filePath(name)));
    return content;
}

} // namespace

class UpdateTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_keys;
    LocalHttpsServer m_server;
    QByteArray m_towns; // utf_ken_all.csv as shipped
    QByteArray m_businesses;

private slots:
    void initTestCase()
    {
        // A certificate for 127.0.0.1 made now, trusted by this process alone.
        const QString cert = m_keys.filePath(u"cert.pem"_s), key = m_keys.filePath(u"key.pem"_s);
        QCOMPARE(QProcess::execute(u"openssl"_s,
                                   {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s,
                                    u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s, u"-days"_s, u"2"_s,
                                    u"-subj"_s, u"/CN=127.0.0.1"_s, u"-addext"_s,
                                    u"subjectAltName=IP:127.0.0.1"_s, u"-keyout"_s, key, u"-out"_s, cert}),
                 0);
        const QList<QSslCertificate> certificates = QSslCertificate::fromPath(cert);
        QCOMPARE(certificates.size(), 1);
        QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
        trusting.addCaCertificates(certificates);
        QSslConfiguration::setDefaultConfiguration(trusting);
        QVERIFY(m_server.start(certificates.front(), QSslKey(fileBytes(key), QSsl::Ec)));

        const QString shipped = QStringLiteral(VELMORA_JAPAN_POST_DOWNLOADS);
        m_towns = ZipEntryReader::read(fileBytes(shipped + u"/utf_ken_all.zip"_s), u"utf_ken_all.csv"_s,
                                       PostalDirectoryLoader::kMaxFileBytes)
                      .value_or(QByteArray());
        m_businesses = fileBytes(shipped + u"/jigyosyo.zip"_s);
        QVERIFY(!m_towns.isEmpty() && !m_businesses.isEmpty());
    }

    void update_data()
    {
        QTest::addColumn<QByteArray>("towns");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("said");
        const QDate november(2026, 11, 27);
        // 060-0000, the file's first line, is gone from November's file.
        const QByteArray withoutFirst = m_towns.mid(m_towns.indexOf('\n') + 1);
        const QByteArray good = zipOf({{"utf_ken_all.csv", withoutFirst}}, november);
        QTest::newRow("good")
            << LocalHttpsServer::ok(good) << true
            << u"郵便番号データを 2026-11-27 のものに更新しました（追加 0 件、削除 1 件、変更 0 件）"_s;
        // The same data as in use: nothing to replace, and the date in use stands.
        QTest::newRow("same as in use")
            << LocalHttpsServer::ok(
                   fileBytes(QStringLiteral(VELMORA_JAPAN_POST_DOWNLOADS "/utf_ken_all.zip")))
            << false << u"と同じ内容です"_s;
        QTest::newRow("damaged zip") << LocalHttpsServer::ok(good.left(good.size() / 2)) << false
                                     << u"utf_ken_all.zip は壊れているか"_s;
        QByteArray fewer;
        const QList<QByteArray> lines = m_towns.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (i % 8 != 1 || lines[i].contains("（") || lines[i].contains("）") || lines[i].isEmpty())
                fewer += lines[i] + (i + 1 < lines.size() ? "\n" : "");
        QTest::newRow("far fewer towns")
            << LocalHttpsServer::ok(zipOf({{"utf_ken_all.csv", fewer}}, november)) << false
            << u"大幅に少ないため使用しません"_s;
        QTest::newRow("older date") << LocalHttpsServer::ok(
                                           zipOf({{"utf_ken_all.csv", m_towns}}, QDate(2026, 4, 24)))
                                    << false << u"（2026-04-24）は使用中のデータ（2026-05-22）より古い"_s;
        QTest::newRow("404") << QByteArray() << false << u"utf_ken_all.zip が見つかりません（404）"_s;
        QTest::newRow("redirect to http")
            << "HTTP/1.1 302 Found\r\nLocation: " +
                   m_server.base().replace(u"https:"_s, u"http:"_s).toLatin1() +
                   "good/utf_ken_all.zip\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"
            << false << u"暗号化されていないアドレス http://127.0.0.1:"_s;
        QTest::newRow("cut halfway") << LocalHttpsServer::ok(good).chopped(good.size() / 2) << false
                                     << u"utf_ken_all.zip のダウンロードが途中で切れました"_s;
    }

    void update()
    {
        QFETCH(QByteArray, towns);
        QFETCH(bool, installed);
        QFETCH(QString, said);
        const QString row = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-');
        if (!towns.isEmpty())
            m_server.setResponse(u"/%1/utf_ken_all.zip"_s.arg(row), towns);
        m_server.setResponse(u"/%1/jigyosyo.zip"_s.arg(row), LocalHttpsServer::ok(m_businesses));
        qputenv("VELMORA_POSTAL_SOURCE", (m_server.base() + row).toUtf8());

        QTemporaryDir user;
        // The user's earlier download, of May, in use with its cache.
        QVERIFY(QFile::copy(QStringLiteral(VELMORA_JAPAN_POST_DOWNLOADS "/utf_ken_all.zip"),
                            user.filePath(u"utf_ken_all.zip"_s)));
        const Cp932Table codec;
        const FileSystem files(codec);
        QCOMPARE(
            PostalDirectoryLoader::load(files, QStringLiteral(VELMORA_POSTAL_DATA), user.path()).messages,
            QStringList());
        const QMap<QString, QByteArray> before = contentOf(user.path());
        NetworkFetcher fetcher;
        PostalUpdate update(fetcher, files, QStringLiteral(VELMORA_POSTAL_DATA), user.path());
        QSignalSpy finished(&update, &PostalUpdate::finished);
        update.start();
        QVERIFY(finished.wait(240000));
        const QString text = finished.front().at(1).toString();
        QVERIFY2(text.contains(said), qPrintable(text));
        QCOMPARE(finished.front().at(0).toBool(), installed);
        if (!installed) {
            QVERIFY2(text.contains(u"郵便番号データは変わっていません"_s), qPrintable(text));
            QCOMPARE(contentOf(user.path()), before);
            return;
        }
        QCOMPARE(fileBytes(user.filePath(u"utf_ken_all.zip"_s)), towns.mid(towns.indexOf("\r\n\r\n") + 4));
        // The next start takes the new data from the cache the update left.
        const PostalLoadResult loaded =
            PostalDirectoryLoader::load(files, QStringLiteral(VELMORA_POSTAL_DATA), user.path());
        QCOMPARE(loaded.messages, QStringList());
        QCOMPARE(loaded.directory->date(), u"2026-11-27"_s);
        QVERIFY(loaded.directory->find(600000).isEmpty());
        QVERIFY(!loaded.directory->find(640941).isEmpty());
    }

    // A second program updating the same folder, and a cancel before the download has come: the
    // user's files stay as they were.
    void secondUpdateAndCancelLeaveTheFiles()
    {
        m_server.setResponse(u"/slow/utf_ken_all.zip"_s, LocalHttpsServer::ok(m_towns));
        qputenv("VELMORA_POSTAL_SOURCE", (m_server.base() + u"slow"_s).toUtf8());
        QTemporaryDir user;
        QVERIFY(QFile::copy(QStringLiteral(VELMORA_JAPAN_POST_DOWNLOADS "/utf_ken_all.zip"),
                            user.filePath(u"utf_ken_all.zip"_s)));
        const Cp932Table codec;
        const FileSystem files(codec);
        NetworkFetcher fetcher;
        PostalUpdate update(fetcher, files, QStringLiteral(VELMORA_POSTAL_DATA), user.path());
        QSignalSpy finished(&update, &PostalUpdate::finished);
        {
            QLockFile other(user.filePath(u"postal-update.lock"_s));
            QVERIFY(other.tryLock(0));
            const QMap<QString, QByteArray> before = contentOf(user.path());
            update.start();
            QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
            QVERIFY2(finished.takeFirst().at(1).toString().contains(u"ほかの Velmora"_s), "not refused");
            QCOMPARE(contentOf(user.path()), before);
        }
        const QMap<QString, QByteArray> before = contentOf(user.path());
        update.start();
        update.cancel();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
        QCOMPARE(finished.front().at(0).toBool(), false);
        QVERIFY2(finished.front().at(1).toString().contains(u"キャンセル"_s), "not cancelled");
        QCOMPARE(contentOf(user.path()), before);
    }
};

QTEST_GUILESS_MAIN(UpdateTest)
#include "tst_update.moc"
