#include "lookup/MapQuery.h"
#include "lookup/UrlEncode.h"

#include <QTest>

namespace {
QString enc(const QString &s)
{
    QString out;
    UrlEncode(s, out);
    return out;
}
const QString kPrefix = QStringLiteral("http://127.0.0.1:9/maps?q=");
const QString kTail = QStringLiteral("&hl=ja&z=16");
} // namespace

class tst_MapQuery : public QObject {
    Q_OBJECT
private slots:
    void encodesTheWorkedExamples_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("postal mark") << "〒100-0001"
                                     << "%E3%80%92100-0001";
        QTest::newRow("kanji and space")
            << "東京都 千代田区"
            << "%E6%9D%B1%E4%BA%AC%E9%83%BD+%E5%8D%83%E4%BB%A3%E7%94%B0%E5%8C%BA";
        QTest::newRow("two spaces kept") << "a  b"
                                         << "a++b";
        QTest::newRow("reserved ascii") << "A&B+C/D"
                                        << "A%26B%2BC%2FD";
        QTest::newRow("kept punctuation") << "@*-._"
                                          << "@*-._";
        QTest::newRow("encoded punctuation") << "~!'()"
                                             << "%7E%21%27%28%29";
        QTest::newRow("tab and control") << QString("\t") + QChar(1) << "%09%01";
        QTest::newRow("half-width katakana") << "ｱ"
                                             << "%EF%BD%B1";
        QTest::newRow("two-byte utf8") << "é"
                                       << "%C3%A9";
        QTest::newRow("range edges") << QString(QChar(0x7F)) + QChar(0x80) + QChar(0x7FF) + QChar(0x800) +
                                            QChar(0xFFFF)
                                     << "%7F%C2%80%DF%BF%E0%A0%80%EF%BF%BF";
        QTest::newRow("letters around @") << "?@AZ[`az{"
                                          << "%3F@AZ%5B%60az%7B";
    }
    void encodesTheWorkedExamples()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        QCOMPARE(enc(text), encoded);
    }

    void encodesSurrogates()
    {
        // U+20BB7 (𠮷) is one four-byte sequence; lone halves stand for U+FFFD.
        QCOMPARE(enc(QString::fromUtf8("𠮷")), QStringLiteral("%F0%A0%AE%B7"));
        QCOMPARE(enc(QString(QChar(0xD842))), QStringLiteral("%EF%BF%BD"));
        QCOMPARE(enc(QString(QChar(0xDFB7)) + "a"), QStringLiteral("%EF%BF%BDa"));
        QCOMPARE(enc(QString(QChar(0xD842)) + QChar(0xD842) + QChar(0xDFB7)),
                 QStringLiteral("%EF%BF%BD%F0%A0%AE%B7"));
        // The most expensive text there is: every unit three groups.
        QCOMPARE(enc(QString(3, QChar(0xDC00))), QStringLiteral("%EF%BF%BD").repeated(3));
    }

    void emptyTextLeavesTheResultAlone()
    {
        QString out = QStringLiteral("untouched");
        UrlEncode(QString(), out);
        QCOMPARE(out, QStringLiteral("untouched"));
    }

    void encodesLongTextsWhole()
    {
        const QString longText = QString(40000, QChar(u'東'));
        const QString out = enc(longText);
        QCOMPARE(out.size(), 40000 * 9);
        QVERIFY(out.endsWith(QStringLiteral("%E6%9D%B1")));
        QCOMPARE(enc(QString(32768, u'a')).size(), 32768);
    }

    void buildsQueries()
    {
        QCOMPARE(MapQuery::forPostalCode("100-0001"), kPrefix + "%E3%80%92100-0001" + kTail);
        QCOMPARE(MapQuery::forPostalCode(""), kPrefix + "%E3%80%92" + kTail);
        QCOMPARE(MapQuery::forSearch(""), kPrefix + kTail);
        // Pairs of spaces collapse once, from the left.
        QCOMPARE(MapQuery::forSearch("a  b"), kPrefix + "a+b" + kTail);
        QCOMPARE(MapQuery::forSearch("a   b"), kPrefix + "a++b" + kTail);
        QCOMPARE(MapQuery::forSearch("a    b"), kPrefix + "a++b" + kTail);
        QCOMPARE(MapQuery::forSearch("a     b"), kPrefix + "a+++b" + kTail);
        QCOMPARE(MapQuery::forSearch(QString::fromUtf8("a\u3000\u3000b")),
                 kPrefix + "a%E3%80%80%E3%80%80b" + kTail);
        // The company search with no company begins with the space.
        QCOMPARE(MapQuery::forSearch(" 東京"), kPrefix + "+%E6%9D%B1%E4%BA%AC" + kTail);
        QCOMPARE(MapQuery::forPosition("35.681382,", "139.766084"),
                 kPrefix + "35.681382,+139.766084" + kTail);
    }
};

QTEST_GUILESS_MAIN(tst_MapQuery)
#include "tst_MapQuery.moc"
