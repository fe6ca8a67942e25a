#include "JapanPostSamples.h"
#include "address/JapanPostReader.h"
#include "app/Cp932.h"

#include <QTest>

namespace {

QList<PostalRecord> ofCode(const QList<PostalRecord> &records, quint32 code)
{
    QList<PostalRecord> found;
    for (const PostalRecord &r : records)
        if (r.code == code)
            found.append(r);
    return found;
}

QByteArray cp932(const QString &text)
{
    const auto bytes = Cp932::encode(text);
    if (!bytes)
        qFatal("sample not encodable in CP932");
    return *bytes;
}

} // namespace

// Japan Post's files with each of their conventions, in the CP932 and the UTF-8 editions.
class TestJapanPostReader : public QObject {
    Q_OBJECT
private slots:
    void townConventions_data()
    {
        QTest::addColumn<bool>("utf8");
        QTest::newRow("KEN_ALL.CSV, CP932") << false;
        QTest::newRow("utf_ken_all.csv") << true;
    }
    void townConventions()
    {
        QFETCH(bool, utf8);
        const auto records = utf8 ? JapanPostReader::readKenAllUtf8(utfKenAllSample().toUtf8())
                                  : JapanPostReader::readKenAllCp932(cp932(kenAllSample()));
        QVERIFY(records);

        // "以下に掲載がない場合": the code of the rest of the city, no town.
        auto r = ofCode(*records, 600000);
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0].prefecture, 1);
        QCOMPARE(r[0].city, QStringLiteral("札幌市中央区"));
        QVERIFY(r[0].town.isEmpty());
        QVERIFY(r[0].kana.isEmpty());

        // One code for several towns: all are kept, in Japan Post's order.
        r = ofCode(*records, 790177);
        QVERIFY(r.size() >= 2);
        QCOMPARE(r[0].town, QStringLiteral("上美唄町協和"));
        QCOMPARE(r[1].town, QStringLiteral("上美唄町南"));
        QCOMPARE(r[1].kana, QStringLiteral("カミビバイチョウミナミ"));

        // A town continued over several records is one town; its remark is a note.
        r = ofCode(*records, 285102);
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0].town, QStringLiteral("葛巻"));
        QCOMPARE(r[0].note, QStringLiteral("（第４０地割「５７番地１２５、１７６を除く」～第４５地割）"));
        QCOMPARE(r[0].kana, QStringLiteral("クズマキ"));

        QCOMPARE(ofCode(*records, 1000001).value(0).town, QStringLiteral("千代田"));

        // A building floor is part of the address.
        r = ofCode(*records, 1006524);
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0].town, QStringLiteral("丸の内新丸の内ビルディング"));
        QCOMPARE(r[0].street, QStringLiteral("２４階"));
        QVERIFY(r[0].note.isEmpty());

        // "檜原村一円" stands for the whole village.
        r = ofCode(*records, 1900200);
        QCOMPARE(r.size(), 1);
        QVERIFY(r[0].town.isEmpty());
        QCOMPARE(r[0].city, QStringLiteral("西多摩郡檜原村"));
    }

    // Conventions only the CP932 sample carries.
    void remarksAndMarkers()
    {
        const auto records = JapanPostReader::readKenAllCp932(cp932(kenAllSample()));
        QVERIFY(records);
        QCOMPARE(records->size(), 14); // 15 lines, one continuation

        auto r = ofCode(*records, 600042);
        QCOMPARE(r.value(0).town, QStringLiteral("大通西"));
        QCOMPARE(r.value(0).note, QStringLiteral("（１～１９丁目）"));
        QCOMPARE(r.value(0).kana, QStringLiteral("オオドオリニシ"));

        QCOMPARE(ofCode(*records, 1000005).value(0).town, QStringLiteral("丸の内"));
        QCOMPARE(ofCode(*records, 1000005).value(0).note, QStringLiteral("（次のビルを除く）"));

        r = ofCode(*records, 790177);
        QCOMPARE(r.size(), 3);
        QCOMPARE(r[2].town, QStringLiteral("上美唄町"));
        QCOMPARE(r[2].note, QStringLiteral("（その他）"));

        r = ofCode(*records, 3060433); // "境町の次に番地がくる場合"
        QCOMPARE(r.size(), 1);
        QVERIFY(r[0].town.isEmpty());

        r = ofCode(*records, 1006590);
        QCOMPARE(r.value(0).town, QStringLiteral("丸の内新丸の内ビルディング"));
        QVERIFY(r.value(0).street.isEmpty());
        QCOMPARE(r.value(0).note, QStringLiteral("（地階・階層不明）"));

        // "一円" of 多賀町 is a real district, not the marker.
        r = ofCode(*records, 5220317);
        QCOMPARE(r.value(0).town, QStringLiteral("一円"));
        QCOMPARE(r.value(0).kana, QStringLiteral("イチエン"));
    }

    void businesses()
    {
        const auto records = JapanPostReader::readJigyosyo(cp932(jigyosyoSample()));
        QVERIFY(records);
        QCOMPARE(records->size(), 2);
        const PostalRecord &r = records->at(0);
        QCOMPARE(r.code, 1008066u);
        QVERIFY(r.isBusiness);
        QCOMPARE(r.business, QStringLiteral("株式会社　日本経済新聞社"));
        QCOMPARE(r.city, QStringLiteral("千代田区"));
        QCOMPARE(r.town, QStringLiteral("大手町"));
        QCOMPARE(r.street, QStringLiteral("１丁目３－７"));
        QCOMPARE(r.kana, QStringLiteral("(カブ) ニツポンケイザイシンブンシヤ"));
    }

    void damagedOrForeignFilesAreRefused()
    {
        // Not CP932.
        QVERIFY(!JapanPostReader::readKenAllCp932(QByteArray("13101,\"\xff\xff\"\r\n")));
        // Not UTF-8.
        QVERIFY(!JapanPostReader::readKenAllUtf8(cp932(kenAllSample())));
        // Cut short in the middle of a record.
        const QByteArray whole = cp932(kenAllSample());
        QVERIFY(!JapanPostReader::readKenAllCp932(whole.left(whole.size() - 30)));
        // The business file where the towns belong, and the other way round.
        QVERIFY(!JapanPostReader::readKenAllCp932(cp932(jigyosyoSample())));
        QVERIFY(!JapanPostReader::readJigyosyo(cp932(kenAllSample())));
        // A spreadsheet of something else.
        QVERIFY(!JapanPostReader::readKenAllUtf8("name,phone\nfoo,123\n"));
        // A bad code, an unknown prefecture, nothing at all.
        QVERIFY(!JapanPostReader::parseKenAll(
            kenAllSample().replace(QStringLiteral("\"1000001\""), QStringLiteral("\"100001\""))));
        QVERIFY(!JapanPostReader::parseKenAll(
            kenAllSample().replace(QStringLiteral("\"東京都\""), QStringLiteral("\"東京\""))));
        QVERIFY(!JapanPostReader::readKenAllCp932(QByteArray()));
    }

    void byteOrderMarkAndUnixLineEndsAreAccepted()
    {
        const auto records = JapanPostReader::readKenAllUtf8("\xEF\xBB\xBF" + utfKenAllSample().toUtf8());
        QVERIFY(records);
        QCOMPARE(records->size(), 7);
    }
};

QTEST_GUILESS_MAIN(TestJapanPostReader)
#include "tst_japanpostreader.moc"
