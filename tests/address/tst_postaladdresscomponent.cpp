#include "JapanPostSamples.h"
#include "address/PostalAddressComponent.h"
#include "address/PostalComponentFactory.h"
#include "address/PostalDirectoryLoader.h"
#include "app/Cp932.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Answers with a fixed index and remembers what it was shown.
class FakeChooser : public CandidateChooser {
public:
    int choose(const QStringList &candidates) override
    {
        shown.append(candidates);
        return answer;
    }
    int answer = 0;
    QList<QStringList> shown;
};

struct Fields {
    QString code;
    QString address;
    QString company;
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray cp932(const QString &text)
{
    return *Cp932::encode(text);
}

} // namespace

// The address search's component: what PutAdd leaves in the three fields.
class TestPostalAddressComponent : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_shipped = PostalDirectoryLoader::load(QStringLiteral(VELMORA_POSTAL_DATA), {});
        QVERIFY(m_shipped.messages.isEmpty());
        QVERIFY(QDir(m_userDir.path()).exists());
        writeFile(m_userDir.filePath(QStringLiteral("KEN_ALL.CSV")), cp932(kenAllSample()));
        writeFile(m_userDir.filePath(QStringLiteral("JIGYOSYO.CSV")), cp932(jigyosyoSample()));
        m_user = PostalDirectoryLoader::load(QStringLiteral(VELMORA_POSTAL_DATA), m_userDir.path());
        QVERIFY(m_user.messages.isEmpty());
    }

    void codeGivesAddress_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("hyphen") << "100-0001";
        QTest::newRow("no hyphen") << "1000001";
        QTest::newRow("full width") << "１００－０００１";
        QTest::newRow("postal mark") << "〒100-0001";
    }
    void codeGivesAddress()
    {
        QFETCH(QString, typed);
        Fields f{typed, {}, {}};
        putAdd(m_shipped, f);
        QCOMPARE(f.code, QStringLiteral("100-0001"));
        QCOMPARE(f.address, QStringLiteral("東京都千代田区千代田"));
        QVERIFY(f.company.isEmpty());
        QVERIFY(m_chooser.shown.isEmpty());
    }

    void addressGivesCodeAndStaysAsTyped()
    {
        Fields f{{}, QStringLiteral("東京都千代田区千代田1-1"), QStringLiteral("皇居")};
        putAdd(m_shipped, f);
        QCOMPARE(f.code, QStringLiteral("100-0001"));
        QCOMPARE(f.address, QStringLiteral("東京都千代田区千代田1-1"));
        QCOMPARE(f.company, QStringLiteral("皇居"));

        Fields blankCode{QStringLiteral(" 〒 "), QStringLiteral("東京都中央区銀座4-1"), {}};
        putAdd(m_shipped, blankCode);
        QCOMPARE(blankCode.code, QStringLiteral("104-0061"));
        QCOMPARE(blankCode.address, QStringLiteral("東京都中央区銀座4-1"));
    }

    void codeWinsOverTypedAddress()
    {
        // The typed address goes on from the code's address: the user's block number is kept.
        Fields keep{QStringLiteral("1000001"), QStringLiteral("東京都千代田区千代田１－１"), {}};
        putAdd(m_shipped, keep);
        QCOMPARE(keep.code, QStringLiteral("100-0001"));
        QCOMPARE(keep.address, QStringLiteral("東京都千代田区千代田１－１"));

        // An address of somewhere else is replaced by the code's.
        Fields replace{QStringLiteral("104-0061"), QStringLiteral("東京都千代田区千代田1-1"), {}};
        putAdd(m_shipped, replace);
        QCOMPARE(replace.code, QStringLiteral("104-0061"));
        QCOMPARE(replace.address, QStringLiteral("東京都中央区銀座"));
    }

    void businessCodeFillsAnEmptyCompany()
    {
        Fields f{QStringLiteral("100-8066"), {}, {}};
        putAdd(m_user, f);
        QCOMPARE(f.address, QStringLiteral("東京都千代田区大手町１丁目３－７"));
        QCOMPARE(f.company, QStringLiteral("株式会社　日本経済新聞社"));

        Fields typedCompany{QStringLiteral("100-8066"), {}, QStringLiteral("日経")};
        putAdd(m_user, typedCompany);
        QCOMPARE(typedCompany.company, QStringLiteral("日経"));

        // The shipped data knows business addresses but not their names.
        Fields shipped{QStringLiteral("100-8979"), {}, {}};
        putAdd(m_shipped, shipped);
        QCOMPARE(shipped.address, QStringLiteral("東京都千代田区霞が関３丁目３－２"));
        QVERIFY(shipped.company.isEmpty());
    }

    void notFoundEmptiesTheAddressOnly()
    {
        const QList<Fields> cases = {{QStringLiteral("999-9999"), {}, {}},
                                     {QStringLiteral("999-9999"), QStringLiteral("東京都千代田区千代田"), {}},
                                     {QStringLiteral("12345"), QStringLiteral("東京都千代田区千代田"), {}},
                                     {{}, QStringLiteral("どこにもない町1-1"), QStringLiteral("会社")},
                                     {{}, {}, {}}};
        for (Fields f : cases) {
            const Fields before = f;
            putAdd(m_shipped, f);
            QVERIFY(f.address.isEmpty());
            QCOMPARE(f.code, before.code);
            QCOMPARE(f.company, before.company);
        }
    }

    void severalTownsAskTheUser()
    {
        m_chooser.answer = 1;
        Fields f{QStringLiteral("0790177"), {}, {}};
        putAdd(m_user, f);
        QCOMPARE(m_chooser.shown.size(), 1);
        QCOMPARE(m_chooser.shown[0], (QStringList{"北海道美唄市上美唄町協和", "北海道美唄市上美唄町南",
                                                  "北海道美唄市上美唄町（その他）"}));
        QCOMPARE(f.code, QStringLiteral("079-0177"));
        QCOMPARE(f.address, QStringLiteral("北海道美唄市上美唄町南"));

        // A typed address that already names one of them decides without asking.
        m_chooser.shown.clear();
        Fields typed{QStringLiteral("0790177"), QStringLiteral("北海道美唄市上美唄町協和５"), {}};
        putAdd(m_user, typed);
        QVERIFY(m_chooser.shown.isEmpty());
        QCOMPARE(typed.address, QStringLiteral("北海道美唄市上美唄町協和５"));

        // Without the interactive mode the first is taken.
        Fields quiet{QStringLiteral("0790177"), {}, {}};
        putAdd(m_user, quiet, 0);
        QVERIFY(m_chooser.shown.isEmpty());
        QCOMPARE(quiet.address, QStringLiteral("北海道美唄市上美唄町協和"));
    }

    void cancellingChangesNothing()
    {
        m_chooser.answer = -1;
        Fields f{QStringLiteral("079-0177"), {}, {}};
        putAdd(m_user, f);
        QCOMPARE(m_chooser.shown.size(), 1);
        QVERIFY(f.address.isEmpty());
        QCOMPARE(f.code, QStringLiteral("079-0177"));

        // An address that fits two codes asks too; cancelling leaves the code empty.
        m_chooser.shown.clear();
        Fields address{{}, QStringLiteral("北海道札幌市中央区大通西5"), {}};
        putAdd(m_user, address);
        QCOMPARE(m_chooser.shown.size(), 1);
        QCOMPARE(m_chooser.shown[0], (QStringList{"060-0042　北海道札幌市中央区大通西（１～１９丁目）",
                                                  "064-0820　北海道札幌市中央区大通西（２０～２８丁目）"}));
        QVERIFY(address.code.isEmpty());
        QVERIFY(address.address.isEmpty());

        m_chooser.answer = 7; // out of range counts as cancel
        Fields outOfRange{QStringLiteral("079-0177"), {}, {}};
        putAdd(m_user, outOfRange);
        QVERIFY(outOfRange.address.isEmpty());
    }

    void userFilesTakeThePlaceOfShippedData()
    {
        Fields floor{QStringLiteral("100-6524"), {}, {}};
        putAdd(m_user, floor);
        QCOMPARE(floor.address, QStringLiteral("東京都千代田区丸の内新丸の内ビルディング２４階"));
        // The user's KEN_ALL has no 104-0061; the shipped towns are gone with it.
        Fields gone{QStringLiteral("104-0061"), {}, {}};
        putAdd(m_user, gone);
        QVERIFY(gone.address.isEmpty());
        Fields marker{QStringLiteral("190-0200"), {}, {}};
        putAdd(m_user, marker);
        QCOMPARE(marker.address, QStringLiteral("東京都西多摩郡檜原村"));
    }

    void factoryCreatesOnlyItsComponent()
    {
        FakeChooser chooser;
        PostalComponentFactory factory(chooser, {}, QStringLiteral(VELMORA_POSTAL_DATA), {});
        QVERIFY(!factory.create(QStringLiteral("Other.cAdd")));
        QVERIFY(!factory.create(QString()));
        auto component = factory.create(QStringLiteral("Adrolex.cAdd"));
        QVERIFY(component);
        QString code = QStringLiteral("060-0000"), address, company;
        component->PutAdd(code, address, company, 1);
        QCOMPARE(address, QStringLiteral("北海道札幌市中央区"));
    }

    void unusableUserFilesAreReportedOnceAndShippedDataServes()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("KEN_ALL.CSV")), QByteArray("\x81\xff garbage,1,2\r\n"));
        writeFile(dir.filePath(QStringLiteral("utf_ken_all.csv")), cp932(kenAllSample())); // wrong encoding
        writeFile(dir.filePath(QStringLiteral("jigyosyo.csv")), cp932(kenAllSample()));    // wrong file
        FakeChooser chooser;
        QStringList status;
        PostalComponentFactory factory(
            chooser, [&](const QString &text) { status.append(text); }, QStringLiteral(VELMORA_POSTAL_DATA),
            [&dir] { return dir.path(); });
        auto component = factory.create(QStringLiteral("Adrolex.cAdd"));
        QVERIFY(component);
        for (int i = 0; i < 2; ++i) {
            QString code = QStringLiteral("104-0061"), address, company;
            component->PutAdd(code, address, company, 1);
            QCOMPARE(address, QStringLiteral("東京都中央区銀座"));
        }
        auto second = factory.create(QStringLiteral("Adrolex.cAdd"));
        QString code = QStringLiteral("100-8979"), address, company;
        second->PutAdd(code, address, company, 1);
        QCOMPARE(address, QStringLiteral("東京都千代田区霞が関３丁目３－２"));
        QCOMPARE(status, (QStringList{"utf_ken_all.csv を使用できません（同梱データを使用します）",
                                      "KEN_ALL.CSV を使用できません（同梱データを使用します）",
                                      "jigyosyo.csv を使用できません（同梱データを使用します）"}));
    }

    void aBadFileFallsBackToTheOtherEdition()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("utf_ken_all.csv")), QByteArray("not,a,postal,file\n"));
        writeFile(dir.filePath(QStringLiteral("KEN_ALL.CSV")), cp932(kenAllSample()));
        const PostalLoadResult loaded =
            PostalDirectoryLoader::load(QStringLiteral(VELMORA_POSTAL_DATA), dir.path());
        QCOMPARE(loaded.messages,
                 QStringList{"utf_ken_all.csv を使用できません（KEN_ALL.CSV を使用します）"});
        QCOMPARE(loaded.directory->find(5220317).value(0).town, QStringLiteral("一円"));
    }

    void missingShippedDataIsReportedAndFindsNothing()
    {
        FakeChooser chooser;
        QStringList status;
        PostalComponentFactory factory(chooser, [&](const QString &text) { status.append(text); },
                                       QStringLiteral("/nonexistent/postal.dat"), {});
        auto component = factory.create(QStringLiteral("Adrolex.cAdd"));
        QVERIFY(component);
        QString code = QStringLiteral("100-0001"), address = QStringLiteral("x"), company;
        component->PutAdd(code, address, company, 1);
        QVERIFY(address.isEmpty());
        QCOMPARE(status, QStringList{"郵便番号データ postal.dat を読み込めません"});
    }

    void utf8EditionIsRead()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("utf_ken_all.csv")), utfKenAllSample().toUtf8());
        const PostalLoadResult loaded =
            PostalDirectoryLoader::load(QStringLiteral(VELMORA_POSTAL_DATA), dir.path());
        QVERIFY(loaded.messages.isEmpty());
        Fields f{QStringLiteral("028-5102"), {}, {}};
        putAdd(loaded, f);
        QCOMPARE(f.address, QStringLiteral("岩手県岩手郡葛巻町葛巻"));
    }

private:
    void putAdd(const PostalLoadResult &data, Fields &f, int mode = 1)
    {
        PostalAddressComponent component([&data]() -> const PostalLoadResult & { return data; }, m_chooser);
        component.PutAdd(f.code, f.address, f.company, mode);
    }

    FakeChooser m_chooser;
    QTemporaryDir m_userDir;
    PostalLoadResult m_shipped;
    PostalLoadResult m_user;
};

QTEST_GUILESS_MAIN(TestPostalAddressComponent)
#include "tst_postaladdresscomponent.moc"
