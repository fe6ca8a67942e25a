// Typed reads and writes of one group: the type of the answer follows the caller's default, and
// values are stored in a text form that reads back the same.
#include "common/FakeMsgBox.h"
#include "settings/yIni.h"

#include <QDate>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class tst_TypedSettings : public QObject {
    Q_OBJECT

private:
    // An instance whose current group "G" is empty.
    std::unique_ptr<yIni> fresh()
    {
        auto ini = std::make_unique<yIni>(yIniServices{&m_msg, nullptr, nullptr, nullptr, {}, {}});
        ini->GetGtx(u"G"_s);
        return ini;
    }
    static QString stored(yIni &ini, const QString &key)
    {
        const QString &g = ini.groupText();
        const QString open = u'<' + key + u'>';
        const qsizetype a = g.indexOf(open);
        return a < 0 ? u"<absent>"_s : g.mid(a + open.size(), g.indexOf(u"</"_s + key, a) - a - open.size());
    }
    static yIni &put(yIni &ini, const QString &key, const QString &text)
    {
        ini.SetVal(key, text);
        return ini;
    }

    FakeMsgBox m_msg;

private slots:
    void init() { m_msg.clear(); }

    void missingKeyGivesTheDefaultInItsOwnType()
    {
        auto ini = fresh();
        const QVariant v = ini->vGtVal(u"TOP"_s, QVariant::fromValue<qint16>(0));
        QCOMPARE(v.typeId(), int(QMetaType::Short));
        QCOMPARE(v.value<qint16>(), qint16(0));
        QCOMPARE(ini->vGtVal(u"X"_s, 5).typeId(), int(QMetaType::Int));
        QCOMPARE(ini->vGtVal(u"X"_s, u"dflt"_s), QVariant(u"dflt"_s));
        QCOMPARE(ini->vGtVal(u"X"_s, true), QVariant(true));
        QCOMPARE(ini->vGtVal(u"X"_s, QVariant()), QVariant());
        // An empty stored value counts as missing.
        put(*ini, u"E"_s, QString());
        QCOMPARE(ini->vGtVal(u"E"_s, u"dflt"_s), QVariant(u"dflt"_s));
        QCOMPARE(ini->vGtVal(u"E"_s, QVariant::fromValue<qint16>(3)).typeId(), int(QMetaType::Short));
        QVERIFY(m_msg.texts().isEmpty());
    }

    void storedNumbersComeBackAsDouble_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("whole") << u"720"_s << 720.0;
        QTest::newRow("fraction") << u"100.5"_s << 100.5;
        QTest::newRow("negative") << u"-15"_s << -15.0;
        QTest::newRow("leading blanks") << u"  42"_s << 42.0;
        QTest::newRow("trailing text") << u"12px"_s << 12.0;
        QTest::newRow("exponent") << u"1E3"_s << 1000.0;
        QTest::newRow("no number") << u"abc"_s << 0.0;
    }
    void storedNumbersComeBackAsDouble()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        auto ini = fresh();
        put(*ini, u"K"_s, text);
        for (const QVariant &dflt :
             {QVariant::fromValue<qint16>(0), QVariant(7), QVariant(1.5f), QVariant()}) {
            const QVariant v = ini->vGtVal(u"K"_s, dflt);
            QCOMPARE(v.typeId(), int(QMetaType::Double));
            QCOMPARE(v.toDouble(), expected);
        }
    }

    void textIsReturnedExactly()
    {
        auto ini = fresh();
        put(*ini, u"K"_s, u"  東京都 千代田区  "_s);
        QCOMPARE(ini->vGtVal(u"K"_s, u""_s), QVariant(u"  東京都 千代田区  "_s));
    }

    void booleans_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("dflt");
        QTest::addColumn<bool>("expected");
        QTest::newRow("1") << u"1"_s << false << true;
        QTest::newRow("0") << u"0"_s << true << false;
        QTest::newRow("-1") << u"-1"_s << false << true;
        QTest::newRow("TRUE") << u"TRUE"_s << false << true;
        QTest::newRow("False") << u"False"_s << true << false;
        QTest::newRow("neither keeps default") << u"maybe"_s << true << true;
    }
    void booleans()
    {
        QFETCH(QString, text);
        QFETCH(bool, dflt);
        QFETCH(bool, expected);
        auto ini = fresh();
        put(*ini, u"B"_s, text);
        const QVariant v = ini->vGtVal(u"B"_s, dflt);
        QCOMPARE(v.typeId(), int(QMetaType::Bool));
        QCOMPARE(v.toBool(), expected);
    }

    void dates()
    {
        auto ini = fresh();
        const QDate dflt(2001, 2, 3);
        put(*ini, u"D"_s, u"not a date"_s);
        QCOMPARE(ini->vGtVal(u"D"_s, dflt), QVariant(dflt));
        QCOMPARE(ini->vGtVal(u"Missing"_s, dflt), QVariant(dflt));
        ini->SetVal(u"D"_s, QDate(2024, 12, 31));
        QCOMPARE(ini->vGtVal(u"D"_s, dflt), QVariant(QDate(2024, 12, 31)));
        QVERIFY(m_msg.texts().isEmpty());
    }

    void numbersAreStoredInPlainDecimal_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("float 720") << QVariant(720.0f) << u"720"_s;
        QTest::newRow("float 100.5") << QVariant(100.5f) << u"100.5"_s;
        QTest::newRow("float 0.1") << QVariant(0.1f) << u"0.1"_s;
        QTest::newRow("float 1e7") << QVariant(1.0e7f) << u"10000000"_s;
        QTest::newRow("float 12345678") << QVariant(12345678.0f) << u"12345678"_s;
        QTest::newRow("float -0") << QVariant(-0.0f) << u"0"_s;
        QTest::newRow("float tiny") << QVariant(0.000015f) << u"0.000015"_s;
        QTest::newRow("double 1e20") << QVariant(1e20) << u"100000000000000000000"_s;
        QTest::newRow("int") << QVariant(9600) << u"9600"_s;
        QTest::newRow("short") << QVariant::fromValue<qint16>(-15) << u"-15"_s;
    }
    void numbersAreStoredInPlainDecimal()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        auto ini = fresh();
        ini->SetVal(u"N"_s, value);
        QCOMPARE(stored(*ini, u"N"_s), text);
        // Read back as the same number in the precision it was written in.
        QCOMPARE(float(ini->vGtVal(u"N"_s, 0).toDouble()), value.toFloat());
    }

    void writingAKeyTwiceKeepsOneLine()
    {
        auto ini = fresh();
        ini->SetVal(u"TOP"_s, 1);
        ini->SetVal(u"LEFT"_s, 2);
        ini->SetVal(u"TOP"_s, 800.0f);
        QCOMPARE(ini->groupText(), u"      <TOP>800</TOP>\r\n      <LEFT>2</LEFT>\r\n"_s);
    }

    void doubleDaggerBecomesALineBreakOnlyInNewKeys()
    {
        auto ini = fresh();
        ini->SetVal(u"K"_s, u"a‡b"_s);
        QCOMPARE(ini->vGtVal(u"K"_s, u""_s), QVariant(u"a\r\nb"_s));
        ini->SetVal(u"K"_s, u"c‡d"_s);
        QCOMPARE(ini->vGtVal(u"K"_s, u""_s), QVariant(u"c‡d"_s));
    }

    void setGtxOnAnEmptyDocumentBuildsTheSkeleton()
    {
        yIni ini(yIniServices{&m_msg, nullptr, nullptr, nullptr, {}, {}});
        QCOMPARE(ini.docText(), QString());
        ini.GetGtx(u"位置"_s);
        ini.SetVal(u"TOP"_s, 720.0f);
        ini.SetGtx();
        QCOMPARE(ini.docText(), u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <位置>\r\n"
                                u"      <TOP>720</TOP>\r\n   </位置>\r\n</運用>"_s);
        QVERIFY(m_msg.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_TypedSettings)
#include "tst_TypedSettings.moc"
