#include "address/PostalDirectory.h"
#include "address/PostalText.h"

#include <QFile>
#include <QTest>

namespace {

QByteArray shippedBytes()
{
    QFile file(QStringLiteral(VELMORA_POSTAL_DATA));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("shipped postal data missing");
    return file.readAll();
}

QStringList addressesOf(const PostalDirectory &directory, quint32 code)
{
    QStringList addresses;
    for (const PostalEntry &e : directory.find(code))
        addresses.append(e.address());
    return addresses;
}

QStringList codesOf(const PostalDirectory::Entries &entries)
{
    QStringList codes;
    for (const PostalEntry &e : entries)
        codes.append(PostalText::formatCode(e.code));
    return codes;
}

} // namespace

// The shipped directory of all Japan, and the directory's look-ups.
class TestPostalDirectory : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_bytes = shippedBytes();
        QString error;
        QVERIFY2(m_directory.loadShipped(m_bytes, &error), qPrintable(error));
    }

    void everyShippedRecordIsLoaded()
    {
        // Counted independently of the reader: one line per record.
        qsizetype lines = 0;
        for (const QByteArray &line : m_bytes.split('\n'))
            lines += line.startsWith("T\t") || line.startsWith("B\t") ? 1 : 0;
        QCOMPARE(m_directory.entryCount(), lines);
        QCOMPARE(m_directory.entryCount(), 141389);
        QCOMPARE(m_directory.codeCount(), 141389);

        qsizetype businesses = 0;
        quint32 previous = 0;
        for (qsizetype i = 0; i < m_directory.entryCount(); ++i) {
            const PostalEntry e = m_directory.entryAt(i);
            QVERIFY(e.code >= previous);
            previous = e.code;
            QVERIFY(!e.prefecture.isEmpty());
            QVERIFY(!e.city.isEmpty());
            businesses += e.isBusiness ? 1 : 0;
        }
        QCOMPARE(businesses, 21756);
    }

    void wellKnownCodes_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("address");
        QTest::newRow("千代田") << "100-0001"
                                << "東京都千代田区千代田";
        QTest::newRow("札幌市中央区, no town") << "060-0000"
                                               << "北海道札幌市中央区";
        QTest::newRow("大通西") << "060-0042"
                                << "北海道札幌市中央区大通西";
        QTest::newRow("銀座") << "104-0061"
                              << "東京都中央区銀座";
        QTest::newRow("梅田") << "530-0001"
                              << "大阪府大阪市北区梅田";
        QTest::newRow("那覇市") << "900-0000"
                                << "沖縄県那覇市";
        QTest::newRow("与那国町") << "907-1800"
                                  << "沖縄県八重山郡与那国町";
        QTest::newRow("多賀町一円") << "522-0317"
                                    << "滋賀県犬上郡多賀町一円";
        QTest::newRow("business") << "100-8979"
                                  << "東京都千代田区霞が関３丁目３－２";
    }
    void wellKnownCodes()
    {
        QFETCH(QString, code);
        QFETCH(QString, address);
        QCOMPARE(addressesOf(m_directory, *PostalText::parseCode(code)), QStringList{address});
    }

    void unknownCodesFindNothing()
    {
        QVERIFY(m_directory.find(0).isEmpty());
        QVERIFY(m_directory.find(9999999).isEmpty());
        QVERIFY(m_directory.find(10000000).isEmpty());
        QVERIFY(m_directory.find(1000099).isEmpty());
    }

    void addressToCodeTakesTheLongestTown_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("town and block") << "東京都千代田区千代田1-1" << QStringList{"100-0001"};
        QTest::newRow("full-width block") << "東京都千代田区千代田１－１" << QStringList{"100-0001"};
        QTest::newRow("blanks") << "東京都 千代田区　千代田" << QStringList{"100-0001"};
        QTest::newRow("no prefecture") << "千代田区千代田1" << QStringList{"100-0001"};
        QTest::newRow("city only") << "東京都千代田区" << QStringList{"100-0000"};
        QTest::newRow("unknown town falls back to city")
            << "東京都千代田区どこか1" << QStringList{"100-0000"};
        QTest::newRow("銀座") << "東京都中央区銀座4-1" << QStringList{"104-0061"};
        QTest::newRow("nowhere") << "どこにもない町" << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void addressToCodeTakesTheLongestTown()
    {
        QFETCH(QString, address);
        QFETCH(QStringList, codes);
        QCOMPARE(codesOf(m_directory.findByAddress(address)), codes);
    }

    void addressNeverGivesABusinessCode()
    {
        for (const PostalEntry &e : m_directory.findByAddress(u"東京都千代田区霞が関３丁目３－２"))
            QVERIFY(!e.isBusiness);
    }

    void damagedShippedFileIsRefused()
    {
        PostalDirectory directory;
        QString error;
        QVERIFY(!directory.loadShipped(m_bytes.left(m_bytes.size() / 2), &error)); // cut short
        QVERIFY(!error.isEmpty());
        QCOMPARE(directory.entryCount(), 0);
        QVERIFY(directory.find(1000001).isEmpty());
        QVERIFY(!directory.loadShipped(QByteArray("KEN_ALL\n"), &error));
        QByteArray wrongCount = m_bytes;
        wrongCount.replace("E\t141389", "E\t141390");
        QVERIFY(!directory.loadShipped(wrongCount, &error));
        QVERIFY(!directory.loadShipped(QByteArray("VELMORA-POSTAL 1\nT\t1000001\t5\t町\nE\t1\n"), &error));
    }

    void userRecordsReplaceShippedTowns()
    {
        PostalDirectory directory;
        QVERIFY(directory.loadShipped(m_bytes));
        directory.removeTowns();
        PostalRecord r;
        r.code = 1000001;
        r.prefecture = 13;
        r.city = QStringLiteral("千代田区");
        r.town = QStringLiteral("新千代田");
        directory.add(r);
        directory.finish();
        QCOMPARE(addressesOf(directory, 1000001), QStringList{"東京都千代田区新千代田"});
        QVERIFY(directory.find(600000).isEmpty());
        QCOMPARE(directory.find(1008979).size(), 1); // the shipped businesses stay
        QCOMPARE(codesOf(directory.findByAddress(u"千代田区新千代田2")), QStringList{"100-0001"});
    }

private:
    QByteArray m_bytes;
    PostalDirectory m_directory;
};

QTEST_GUILESS_MAIN(TestPostalDirectory)
#include "tst_postaldirectory.moc"
