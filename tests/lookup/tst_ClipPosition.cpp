#include "lookup/ClipPosition.h"
#include "lookup/LeadingNumber.h"

#include <QTest>

class tst_ClipPosition : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "720" << 720.0;
        QTest::newRow("decimal with comma after") << "35.681382," << 35.681382;
        QTest::newRow("signs") << "-12.5x" << -12.5;
        QTest::newRow("plus sign") << "+3" << 3.0;
        QTest::newRow("double sign") << "+-3" << 0.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("trailing point") << "5." << 5.0;
        QTest::newRow("lone point") << "." << 0.0;
        QTest::newRow("exponent") << "1.5E3" << 1500.0;
        QTest::newRow("small exponent") << "2e-2" << 0.02;
        QTest::newRow("exponent without digits") << "12e" << 12.0;
        QTest::newRow("exponent sign without digits") << "12e+x" << 12.0;
        QTest::newRow("blanks inside") << " 1 2\t3\n4" << 1234.0;
        QTest::newRow("blank after sign") << "- 5" << -5.0;
        QTest::newRow("hex") << "&HFF" << 255.0;
        QTest::newRow("hex lower") << "&hff" << 255.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("octal stops at 8") << "&O18" << 1.0;
        QTest::newRow("hex without digits") << "&H" << 0.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("full-width digits are no number") << "１２" << 0.0;
        QTest::newRow("overflow reads as zero") << "1e999" << 0.0;
        QTest::newRow("comma stops") << "1,5" << 1.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(LeadingNumber(text), value);
    }

    void takesPositions_data()
    {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("value");
        QTest::newRow("prompt text") << "(35.681382, 139.766084)"
                                     << "35.681382,+139.766084";
        QTest::newRow("no brackets") << "35.6 139.7"
                                     << "35.6+139.7";
        QTest::newRow("several spaces") << "35.6   139.7"
                                        << "35.6+139.7";
        QTest::newRow("brackets anywhere") << "(35.6) (139.7)"
                                           << "35.6+139.7";
        QTest::newRow("rest unencoded") << "12 34abc"
                                        << "12+34abc";
        QTest::newRow("surrounding blanks") << "  (35.6, 139.7)  "
                                            << "35.6,+139.7";
        QTest::newRow("negative") << "(-33.86, -151.2)"
                                  << "-33.86,+-151.2";
        QTest::newRow("ideographic space trimmed") << QString::fromUtf8("35.6 139.7\u3000") << "35.6+139.7";
        QTest::newRow("hex counts as a number") << "&H10 5"
                                                << "&H10+5";
    }
    void takesPositions()
    {
        QFETCH(QString, clip);
        QFETCH(QString, value);
        QCOMPARE(ClipPosition::mapUrlFor(clip), "http://127.0.0.1:9/maps?q=" + value + "&hl=ja&z=16");
    }

    void ignoresOtherTexts_data()
    {
        QTest::addColumn<QString>("clip");
        QTest::newRow("no space") << "35.6,139.7";
        QTest::newRow("equator") << "(0, 139.7)";
        QTest::newRow("prime meridian") << "(35.6, 0.0)";
        QTest::newRow("address") << "東京都 千代田区";
        QTest::newRow("second part no number") << "12 abc";
        QTest::newRow("only ideographic space between") << QString::fromUtf8("35.6\u3000139.7");
        QTest::newRow("empty") << "";
        QTest::newRow("only brackets and a space") << "( )";
    }
    void ignoresOtherTexts()
    {
        QFETCH(QString, clip);
        QVERIFY(!ClipPosition::mapUrlFor(clip).has_value());
    }
};

QTEST_GUILESS_MAIN(tst_ClipPosition)
#include "tst_ClipPosition.moc"
