#include "app/Cp932.h"
#include "app/FileSystem.h"
#include "lookup/RequestExchange.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kMap = QStringLiteral("http://127.0.0.1:9/maps?q=x&hl=ja&z=16");

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class tst_RequestExchange : public QObject {
    Q_OBJECT
private slots:
    void recognisesRequestFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("order 1Velmo.txt"); // a blank inside the path stays part of it
        writeBytes(path, *Cp932::encode("VelmoraA\t100-0001\t東京都\t\t\t"));
        const FileSystem fs;
        QCOMPARE(RequestExchange::readRequest(fs, path), QString("VelmoraA\t100-0001\t東京都\t\t\t"));
        QVERIFY(!RequestExchange::readRequest(fs, '"' + path + '"'));
        QVERIFY(!RequestExchange::readRequest(fs, path + ' '));
        QVERIFY(!RequestExchange::readRequest(fs, dir.filePath("missingVelmo.txt")));

        const QString lower = dir.filePath("avelmo.txt");
        writeBytes(lower, "VelmoraA\t\t\t\t\t");
        QVERIFY(!RequestExchange::readRequest(fs, lower));

        for (const QByteArray &text : {QByteArray("velmoraA\t\t\t\t\t"), QByteArray(" VelmoraA\t\t\t\t\t"),
                                       QByteArray(), QByteArray("VelmoraA\t\x81\t\t\t\t")}) {
            writeBytes(path, text);
            QVERIFY2(!RequestExchange::readRequest(fs, path), text.constData());
        }
        // A file far larger than any request is not read at all.
        writeBytes(path, "VelmoraA\t" + QByteArray(FileSystem::kMaxTextBytes, 'a'));
        QVERIFY(!RequestExchange::readRequest(fs, path));
    }

    void takesTheRecordFromTheFields()
    {
        const RequestExchange six("VelmoraA\t100-0001\t東京都千代田区\t会社\t" + kMap + "\t" + kMap);
        QCOMPARE(six.initialRecord(), (AddressRecord{"100-0001", "東京都千代田区", "会社", kMap}));

        // Fewer than six fields: served, the missing ones empty.
        const RequestExchange two("VelmoraA\t100-0001");
        QCOMPARE(two.initialRecord(), (AddressRecord{"100-0001", "", "", ""}));
        QCOMPARE(two.answerFor(two.initialRecord()), QString("VelmoraA\t100-0001\t\t\t\t0"));
        QCOMPARE(RequestExchange("VelmoraA").initialRecord(), AddressRecord{});
    }

    void takesOnlyMapServiceUrls_data()
    {
        QTest::addColumn<QString>("field5");
        QTest::addColumn<bool>("taken");
        QTest::newRow("map url") << kMap << true;
        QTest::newRow("capital scheme and host") << "HTTP://127.0.0.1:9/MAPS?q=1" << true;
        QTest::newRow("other site") << "http://example.invalid/?q=1" << false;
        QTest::newRow("script smuggling the base") << "javascript:alert(1)//http://127.0.0.1:9/maps" << false;
        QTest::newRow("file url") << "file:///etc/passwd?http://127.0.0.1:9/maps" << false;
        QTest::newRow("empty") << "" << false;
    }
    void takesOnlyMapServiceUrls()
    {
        QFETCH(QString, field5);
        QFETCH(bool, taken);
        const RequestExchange r("VelmoraA\t\t\t\t" + field5 + "\t");
        QCOMPARE(r.initialRecord().MapURL, taken ? field5 : QString());
    }

    void answersWithTheChangeFlag()
    {
        const RequestExchange r("VelmoraA\t100-0001\t住所\t会社\t" + kMap + "\t" + kMap + "\textra\tfields");
        AddressRecord rec = r.initialRecord();
        QCOMPARE(r.answerFor(rec), "VelmoraA\t100-0001\t住所\t会社\t" + kMap + "\t0");
        rec.Company = "会社 ";
        QVERIFY(r.answerFor(rec).endsWith("\t1"));
        rec = r.initialRecord();
        rec.MapURL = kMap.toUpper();
        QVERIFY(r.answerFor(rec).endsWith("\t1"));
        // A line break after field 6 belongs to it, so nothing compares equal.
        const RequestExchange crlf("VelmoraA\t\t\t\t\t\r\n");
        QVERIFY(crlf.answerFor(crlf.initialRecord()).endsWith("\t1"));
        // Field 6 is compared with the final map URL even when field 5 was refused.
        const RequestExchange refused("VelmoraA\t\t\t\thttp://example.invalid/\thttp://example.invalid/");
        QVERIFY(refused.answerFor(refused.initialRecord()).endsWith("\t\t1"));
    }
};

QTEST_GUILESS_MAIN(tst_RequestExchange)
#include "tst_RequestExchange.moc"
