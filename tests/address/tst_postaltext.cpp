#include "address/PostalText.h"

#include <QTest>

// How typed postal codes are read and written back.
class TestPostalText : public QObject {
    Q_OBJECT
private slots:
    void typedCodes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("code"); // -1: not a code
        QTest::newRow("hyphen") << "100-0001" << 1000001;
        QTest::newRow("no hyphen") << "1000001" << 1000001;
        QTest::newRow("full width") << "１００－０００１" << 1000001;
        QTest::newRow("postal mark") << "〒100-0001" << 1000001;
        QTest::newRow("mark, blanks") << " 〒 １００ ０００１　" << 1000001;
        QTest::newRow("long vowel as hyphen") << "１００ー０００１" << 1000001;
        QTest::newRow("minus sign") << "100\u22120001" << 1000001;
        QTest::newRow("leading zero") << "060-0000" << 600000;
        QTest::newRow("six digits") << "100-001" << -1;
        QTest::newRow("eight digits") << "100-00011" << -1;
        QTest::newRow("letters") << "100-000A" << -1;
        QTest::newRow("address") << "東京都" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void typedCodes()
    {
        QFETCH(QString, typed);
        QFETCH(int, code);
        const auto parsed = PostalText::parseCode(typed);
        QCOMPARE(parsed.has_value(), code >= 0);
        if (parsed)
            QCOMPARE(int(*parsed), code);
    }

    void blankCodes()
    {
        QVERIFY(PostalText::isBlankCode(u""));
        QVERIFY(PostalText::isBlankCode(u" 〒　-"));
        QVERIFY(!PostalText::isBlankCode(u"〒1"));
        QVERIFY(!PostalText::isBlankCode(u"abc"));
    }

    void codesAreWrittenWithHyphen()
    {
        QCOMPARE(PostalText::formatCode(1000001), QStringLiteral("100-0001"));
        QCOMPARE(PostalText::formatCode(600000), QStringLiteral("060-0000"));
        QCOMPARE(PostalText::formatCode(9999999), QStringLiteral("999-9999"));
    }

    void addressComparisonIgnoresWidthAndBlanks()
    {
        QVERIFY(PostalText::startsWithFolded(u"東京都 千代田区　千代田1-1", u"東京都千代田区千代田"));
        QVERIFY(PostalText::startsWithFolded(u"霞ヶ関３丁目", u"霞ケ関３丁目"));
        QVERIFY(PostalText::startsWithFolded(u"大通西１", u"大通西1"));
        QVERIFY(!PostalText::startsWithFolded(u"東京都千代田", u"東京都千代田区"));
        QCOMPARE(PostalText::foldText(u"ＡＢ　1－２"), QStringLiteral("ab1-2"));
    }

    void halfWidthKanaBecomeFullWidth()
    {
        QCOMPARE(PostalText::fullWidthKana(u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ"), QStringLiteral("サッポロシチュウオウク"));
        QCOMPARE(PostalText::fullWidthKana(u"ｶﾞｲﾊﾟｰｸ"), QStringLiteral("ガイパーク"));
    }
};

QTEST_GUILESS_MAIN(TestPostalText)
#include "tst_postaltext.moc"
