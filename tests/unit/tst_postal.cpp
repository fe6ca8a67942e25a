// Japan Post's files and their quirks, and the address search over the shipped and the user's data.
#include "address/AddressMatcher.h"
#include "address/BackgroundPostalLoader.h"
#include "address/JapanPostReader.h"
#include "address/PostalCompleter.h"
#include "address/PostalDataAge.h"
#include "address/PostalDirectory.h"
#include "address/PostalDirectoryLoader.h"
#include "address/PostalIndexWriter.h"
#include "address/PostalText.h"
#include "address/Prefectures.h"
#include "address/ZipEntryReader.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "support/ZipOf.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <QTest>
#include <QtEndian>

using namespace Qt::Literals::StringLiterals;
using QTest::addColumn;
using QTest::newRow;

namespace {

// One line of KEN_ALL.CSV; the columns the reader does not use hold fixed values.
QString ken(const QString &code, const QString &town, const QString &kana,
            const QString &city = u"札幌市中央区"_s, const QString &prefecture = u"北海道"_s)
{
    return "01101,\"060  \",\"" + code + "\",\"ｹﾝ\",\"ｼ\",\"" + kana + "\",\"" + prefecture + "\",\"" + city +
           "\",\"" + town + "\",0,0,0,0,0,0\r\n";
}
// A line for each prefecture, as a file must cover the whole country to be taken; code 000-0000 is none
// of Japan Post's.
QString country(bool business = false)
{
    QString lines;
    for (int p = 1; p <= 47; ++p) {
        const QString name = Prefectures::name(p).toString();
        lines += business ? "01101,\"ｼ\",\"社\",\"" + name +
                                "\",\"市\",\"\",\"\",\"0000000\",\"000  \",\"局\",0,0,0\r\n"
                          : ken(u"0000000"_s, u"町"_s, u"ﾏﾁ"_s, u"市"_s, name);
    }
    return lines;
}
const QString kBusiness =
    u"13101,\"(ｶﾌﾞ) ﾆﾂﾎﾟﾝｹｲｻﾞｲｼﾝﾌﾞﾝｼﾔ\",\"株式会社　日本経済新聞社\",\"東京都\",\"千代田区\",\"大手町\","
    u"\"１丁目３－７\",\"1008066\",\"100  \",\"銀座\",0,0,0\r\n"_s +
    country(true);
const QString kTowns = ken("0790177", "上美唄町協和", "ｶﾐﾋﾞﾊﾞｲﾁｮｳｷｮｳﾜ", "美唄市") +
                       ken("0790177", "上美唄町南", "ｶﾐﾋﾞﾊﾞｲﾁｮｳﾐﾅﾐ", "美唄市") +
                       ken("0790177", "上美唄町（その他）", "ｶﾐﾋﾞﾊﾞｲﾁｮｳ(ｿﾉﾀ)", "美唄市") +
                       ken("0600042", "大通西（１～１９丁目）", "ｵｵﾄﾞｵﾘﾆｼ(1-19ﾁｮｳﾒ)") +
                       ken("0640820", "大通西（２０～２８丁目）", "ｵｵﾄﾞｵﾘﾆｼ(20-28ﾁｮｳﾒ)") + country();
const QString kMap = u"http://127.0.0.1:9/maps?q=x&hl=ja&z=16"_s;

QByteArray cp932(const QString &text)
{
    return Cp932Table().encode(text).value();
}
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

using Files = QMap<QString, QByteArray>; // name and content

// A zip archive made in memory, with the entries given.

// The record as the search leaves it in the window, the user choosing the candidate numbered choice
// (-1: cancelling): a code or an address not found, or a choice cancelled, written with an empty
// address as the tables below have it. shown receives the candidates offered.
CompletionNote completeAs(AddressCompleter &completer, AddressRecord &record, int choice,
                          QStringList *shown = nullptr)
{
    const Completion answer = completer.complete(record);
    CompletionNote note = answer.note;
    switch (answer.kind) {
    case Completion::Kind::Found:
        record = answer.record;
        break;
    case Completion::Kind::Candidates:
        for (const CompletionChoice &offered : answer.choices)
            if (shown)
                shown->append(offered.label);
        if (choice >= 0 && choice < answer.choices.size()) {
            record = answer.choices[choice].record;
            note = answer.choices[choice].note;
        } else
            record.address.clear();
        break;
    case Completion::Kind::NotFound:
    case Completion::Kind::Failed:
        record.address.clear();
        break;
    }
    return note;
}

} // namespace

class tst_Postal : public QObject {
    Q_OBJECT

    const Cp932Table m_codec;
    const FileSystem m_files{m_codec};
    QTemporaryDir m_userFolder;
    PostalLoadResult m_shipped;
    PostalLoadResult m_user; // the user's KEN_ALL.CSV and JIGYOSYO.CSV in place of the shipped data
    // Japan Post's ken_all.zip and utf_ken_all.zip as downloaded.
    PostalLoadResult m_japanPost[2];

private slots:
    void dataAge_data()
    {
        addColumn<QString>("date");
        addColumn<QDate>("today");
        addColumn<bool>("old");
        newRow("two months to the day") << u"2026-05-29"_s << QDate(2026, 7, 30) << false;
        newRow("a day more") << u"2026-05-29"_s << QDate(2026, 7, 31) << true;
        newRow("six months") << u"2026-05-29"_s << QDate(2026, 12, 8) << true;
        newRow("over a new year") << u"2025-12-01"_s << QDate(2026, 2, 2) << true;
        newRow("clock behind the data") << u"2026-05-29"_s << QDate(2025, 1, 1) << false;
        newRow("no date") << QString() << QDate(2026, 12, 8) << false;
    }
    void dataAge()
    {
        QFETCH(QString, date);
        QFETCH(QDate, today);
        QFETCH(bool, old);
        const auto warning = PostalDataAge::staleWarning(date, today, u"更新方法"_s);
        QCOMPARE(warning.has_value(), old);
        if (old)
            QCOMPARE(*warning, u"郵便番号データ（"_s + date + u"）が古くなっています（更新方法）"_s);
    }

    void initTestCase()
    {
        m_shipped = PostalDirectoryLoader::load(m_files, QStringLiteral(VELMORA_POSTAL_DATA), {});
        QCOMPARE(m_shipped.messages, QStringList());
        writeFile(m_userFolder.filePath(u"KEN_ALL.CSV"_s), cp932(kTowns));
        writeFile(m_userFolder.filePath(u"JIGYOSYO.CSV"_s), cp932(kBusiness));
        m_user =
            PostalDirectoryLoader::load(m_files, QStringLiteral(VELMORA_POSTAL_DATA), m_userFolder.path());
        QCOMPARE(m_user.messages, QStringList());
        for (int utf = 0; utf < 2; ++utf) {
            QTemporaryDir downloads;
            const QString zip = utf ? u"utf_ken_all.zip"_s : u"ken_all.zip"_s;
            QVERIFY(
                QFile::copy(QStringLiteral(VELMORA_JAPAN_POST_DOWNLOADS "/") + zip, downloads.filePath(zip)));
            m_japanPost[utf] =
                PostalDirectoryLoader::load(m_files, QStringLiteral(VELMORA_POSTAL_DATA), downloads.path());
        }
        // The date Japan Post made each file, not the day it was copied here.
        QCOMPARE(m_japanPost[0].directory->date(), u"2026-05-26"_s);
        QCOMPARE(m_japanPost[1].directory->date(), u"2026-05-22"_s);
    }

    void japanPostFiles_data()
    {
        addColumn<QString>("edition");
        addColumn<QByteArray>("bytes");
        addColumn<QStringList>("records"); // town|note|street|kana, and a business's name
        const QString kenAll = u"KEN_ALL.CSV"_s, utf8 = u"utf_ken_all.csv"_s;
        const QStringList refused{u"<refused>"_s};
        const QString whole = country(); // after each row's lines
        newRow("markers give no town")
            << kenAll
            << cp932(ken("0600000", "以下に掲載がない場合", "ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ") +
                     ken("1900200", "檜原村一円", "ﾋﾉﾊﾗﾑﾗｲﾁｴﾝ", "西多摩郡檜原村") +
                     ken("3060433", "境町の次に番地がくる場合", "ｻｶｲﾏﾁﾉﾂｷﾞﾆﾊﾞﾝﾁｶﾞｸﾙﾊﾞｱｲ", "猿島郡境町") +
                     whole)
            << QStringList{"|（以下に掲載がない場合）||", "|||", "|（境町の次に番地がくる場合）||"};
        newRow("a district named 一円")
            << kenAll << cp932(ken("5220317", "一円", "ｲﾁｴﾝ", "犬上郡多賀町") + whole)
            << QStringList{"一円|||イチエン"};
        newRow("remark becomes the note")
            << kenAll << cp932(ken("0600042", "大通西（１～１９丁目）", "ｵｵﾄﾞｵﾘﾆｼ(1-19ﾁｮｳﾒ)") + whole)
            << QStringList{"大通西|（１～１９丁目）||オオドオリニシ"};
        newRow("a floor becomes the street; blank lines skipped")
            << kenAll
            << cp932(ken("1006524", "丸の内ビル（２４階）", "ﾏﾙﾉｳﾁﾋﾞﾙ(24ｶｲ)") + "\r\n" +
                     ken("1006590", "丸の内ビル（地階・階層不明）", "ﾏﾙﾉｳﾁﾋﾞﾙ") + whole)
            << QStringList{"丸の内ビル||２４階|マルノウチビル",
                           "丸の内ビル|（地階・階層不明）||マルノウチビル"};
        newRow("town continued on the next lines")
            << kenAll
            << cp932(ken("0285102", "葛巻（第４０地割「５７番地１２５、１７６を除く」～第４５",
                         "ｸｽﾞﾏｷ(ﾀﾞｲ40ﾁﾜﾘ<57ﾊﾞﾝﾁ125､176ｦﾉｿﾞｸ>-ﾀﾞｲ45") +
                     ken("0285102", "地割）", "ﾁﾜﾘ)") + ken("0285102", "江刈", "ｴｶﾘ") + whole)
            << QStringList{"葛巻|（第４０地割「５７番地１２５、１７６を除く」～第４５地割）||クズマキ",
                           "江刈|||エカリ"};
        newRow("UTF-8 edition, byte-order mark, LF")
            << utf8
            << "\xEF\xBB\xBF" +
                   QString(ken("1000001", "千代田", "チヨダ") + whole).replace("\r\n", "\n").toUtf8()
            << QStringList{"千代田|||チヨダ"};
        newRow("business codes")
            << u"JIGYOSYO.CSV"_s << cp932(kBusiness)
            << QStringList{
                   "大手町||１丁目３－７|(カブ) ニツポンケイザイシンブンシヤ|株式会社　日本経済新聞社"};
        const QString good = ken("1000001", "千代田", "ﾁﾖﾀﾞ") + whole;
        newRow("not CP932") << kenAll << "13101,\"\x81\x20\"\r\n" + cp932(whole) << refused;
        newRow("CP932 as the UTF-8 edition") << utf8 << cp932(good) << refused;
        newRow("cut short in a quoted field") << kenAll << cp932(good).chopped(15) << refused;
        newRow("doubled quotes made single")
            << kenAll << cp932(ken("1000001", "千代田\"\"本\"\"", "ﾁﾖﾀﾞ") + whole)
            << QStringList{"千代田\"本\"|||チヨダ"};
        newRow("text after a closing quote")
            << kenAll << cp932(ken("1000001", "千代田\"本", "ﾁﾖﾀﾞ") + whole) << refused;
        newRow("a field too many") << kenAll
                                   << cp932(ken("1000001", "千代田", "ﾁﾖﾀﾞ").replace(",0\r\n", ",0,\r\n") +
                                            whole)
                                   << refused;
        newRow("cut short after a line")
            << kenAll << cp932(good.first(good.lastIndexOf(u"01101"))) << refused;
        newRow("businesses as towns") << kenAll << cp932(kBusiness) << refused;
        newRow("one six-digit code") << kenAll << cp932(good + ken("100001", "千代田", "ﾁﾖﾀﾞ")) << refused;
        newRow("unknown prefecture") << kenAll
                                     << cp932(ken("1000001", "千代田", "ﾁﾖﾀﾞ", "千代田区", "東京") + whole)
                                     << refused;
        newRow("empty") << kenAll << QByteArray() << refused;
    }
    void japanPostFiles()
    {
        QFETCH(QString, edition);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, records);
        QStringList got;
        const JapanPostReader::Sink add = [&got](const PostalRecordView &r) {
            if (r.code != 0) // not country()'s
                got.append(
                    QStringList{r.town.toString(), r.note.toString(), r.street.toString(), r.kana.toString()}
                        .join(u'|') +
                    (r.isBusiness ? u'|' + r.business.toString() : QString()));
        };
        const bool read = edition == u"utf_ken_all.csv"_s ? JapanPostReader::readKenAllUtf8(bytes, add)
                          : edition == u"KEN_ALL.CSV"_s
                              ? JapanPostReader::readKenAllCp932(bytes, m_codec, add)
                              : JapanPostReader::readJigyosyo(bytes, m_codec, add);
        if (!read)
            got = QStringList{u"<refused>"_s};
        QCOMPARE(got, records);
    }

    // Decoding line by line into one buffer against decoding the whole text as request files are.
    void bulkDecodeOfJapanPostFiles()
    {
        const QString downloads = QStringLiteral(VELMORA_JAPAN_POST_DOWNLOADS "/");
        for (const auto &[zip, csv] :
             {std::pair{"ken_all.zip", "KEN_ALL.CSV"}, {"jigyosyo.zip", "JIGYOSYO.CSV"}}) {
            const auto bytes =
                ZipEntryReader::read(m_files.readAll(downloads + zip, 1 << 22).value_or(""), csv, 1 << 26);
            QVERIFY(bytes);
            QString bulk(bytes->size(), Qt::Uninitialized);
            bulk.truncate(m_codec.decodeInto(*bytes, reinterpret_cast<char16_t *>(bulk.data())));
            QCOMPARE(bulk, m_codec.decode(*bytes).value());
        }
    }

    void addressSearch_data()
    {
        addColumn<bool>("user");     // the user's files in place of the shipped data
        addColumn<int>("answer");    // the chooser's
        addColumn<QString>("given"); // postal code|address|company
        addColumn<QString>("expected");
        addColumn<QStringList>("asked"); // the candidates shown
        const QStringList none, bibai{"北海道美唄市上美唄町協和　カミビバイチョウキョウワ",
                                      "北海道美唄市上美唄町南　カミビバイチョウミナミ",
                                      "北海道美唄市上美唄町（その他）　カミビバイチョウ"};
        const QString chiyoda = u"100-0001|東京都千代田区千代田|"_s;
        newRow("code gives the address") << false << 0 << "100-0001||" << chiyoda << none;
        newRow("code typed otherwise") << false << 0 << "〒１００ー０００１||" << chiyoda << none;
        newRow("address gives the code of its longest town")
            << false << 0 << " 〒 |千代田区千代田1|皇居" << u"100-0001|千代田区千代田1|皇居"_s << none;
        newRow("unknown town gives the city's code")
            << false << 0 << "|東京都千代田区どこか1|" << u"100-0000|東京都千代田区どこか1|"_s << none;
        newRow("code keeps a typed address going on from its own")
            << false << 0 << "1000001|東京都千代田区千代田１－１|"
            << u"100-0001|東京都千代田区千代田１－１|"_s << none;
        newRow("code replaces an address of elsewhere")
            << false << 0 << "104-0061|東京都千代田区千代田1-1|" << u"104-0061|東京都中央区銀座|"_s << none;
        newRow("unknown code empties the address only")
            << false << 0 << "999-9999|東京都千代田区千代田|会社" << u"999-9999||会社"_s << none;
        newRow("code not of seven digits")
            << false << 0 << "12345|東京都千代田区千代田|" << u"12345||"_s << none;
        newRow("unknown address") << false << 0 << "|どこにもない町1-1|会社" << u"||会社"_s << none;
        newRow("business code fills an empty company")
            << true << 0 << "100-8066||"
            << u"100-8066|東京都千代田区大手町１丁目３－７|株式会社　日本経済新聞社"_s << none;
        newRow("typed company kept") << true << 0 << "100-8066||日経"
                                     << u"100-8066|東京都千代田区大手町１丁目３－７|日経"_s << none;
        newRow("several towns ask") << true << 1 << "0790177||" << u"079-0177|北海道美唄市上美唄町南|"_s
                                    << bibai;
        newRow("typed address decides without asking") << true << 0 << "0790177|北海道美唄市上美唄町南５|"
                                                       << u"079-0177|北海道美唄市上美唄町南５|"_s << none;
        newRow("the first in Japan Post's order")
            << true << 0 << "0790177||" << u"079-0177|北海道美唄市上美唄町協和|"_s << bibai;
        newRow("cancelled") << true << -1 << "0790177||" << u"0790177||"_s << bibai;
        newRow("an address never gives a business code")
            << true << 0 << "|東京都千代田区大手町１丁目３－７|" << u"||"_s << none;
        newRow("the user's businesses replace the shipped ones")
            << true << 0 << "100-8979||" << u"100-8979||"_s << none;
    }
    void addressSearch()
    {
        QFETCH(bool, user);
        QFETCH(int, answer);
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QFETCH(QStringList, asked);
        const PostalLoadResult &data = user ? m_user : m_shipped;
        PostalCompleter completer([&data] { return &data; });
        const QStringList fields = given.split(u'|');
        AddressRecord record{fields[0], fields[1], fields[2], kMap};
        QStringList shown;
        completeAs(completer, record, answer, &shown);
        QCOMPARE((QStringList{record.postalCode, record.address, record.company}).join(u'|'), expected);
        QCOMPARE(record.mapUrl, kMap);
        QCOMPARE(shown, asked);
    }

    // Addresses as people type them, against Japan Post's own data, each with the code KEN_ALL gives it.
    void japanPostAddresses_data()
    {
        addColumn<QString>("given"); // an address, or a code
        // As completed when the chooser is cancelled; "!" after it: the search says it is only the
        // city's code.
        addColumn<QString>("code");
        addColumn<int>("count");         // of the candidates shown
        addColumn<QStringList>("asked"); // the first of them
        const QStringList none;
        const QList<std::pair<const char *, const char *>> decided{
            {"東京都港区六本木6-10-1", "106-0032"},
            {"東京都港区六本木六丁目10-1", "106-0032"},
            {"東京都六本木６－１０－１", "106-0032"},
            {"北海道札幌市中央区北一条西2丁目", "060-0001"},
            {"札幌市中央区北1条西20-1", "064-0821"},
            {"東京都千代田区一ツ橋2-1", "101-0003"},
            {"東京都千代田区一ツ橋１丁目１番１号", "100-0003"},
            {"東京都千代田区丸ノ内1-9-1", "100-0005"},
            {"千代田区霞ヶ関1-1", "100-0013"},
            {"東京都千代田区霞が関3-2-5 霞が関ビル12階", "100-6012"},
            {"東京都千代田区霞ケ関霞が関ビル　１２Ｆ", "100-6012"},
            {"東京都千代田区霞が関３丁目２番５号霞が関ビル地下1階", "100-6090"},
            {"港区六本木1-6-1 泉ガーデンタワー", "106-6090"},
            {"千代田区丸の内2丁目7-2 ＪＰタワー 3F", "100-7003"},
            {"名古屋市中村区名駅4-7-1 ミッドランドスクエア 10階", "450-6210"},
            {"札幌市南区常盤123番地", "005-0865"},
            {"札幌市南区常盤200", "005-0863"},
            {"東京都新宿区西早稲田2-2-8", "162-0051"},
            {"東京都新宿区西早稲田2-3-1", "169-0051"},
            {"北海道帯広市自由ヶ丘2-1", "080-0848"},
            {"北海道帯広市自由が丘五丁目", "080-2476"},
            {"厚岸郡厚岸町門静4丁目60番地", "088-0874"},
            {"厚岸郡厚岸町門静4丁目20番地", "088-1126"},
            {"石狩市八幡5丁目1番地", "061-3484"},
            {"東京都世田谷区深澤1-1", "158-0081"},
            {"東京都新宿区髙田馬場1-1", "169-0075"},
            {"京都府京都市下京区烏丸通塩小路下る東塩小路町721-1", "600-8216"},
            {"京都市下京区仏光寺通烏丸東入ル上柳町", "600-8099"},
            {"京都市下京区六条通烏丸西入上柳町", "600-8164"},
            {"東京都千代田区どこか1", "100-0000!"},
            {"東京都千代田区", "100-0000"},
            // 大字, 小字 and 字 are writing: before the town, inside its name, before a name after it.
            {"三重県四日市市大字日永５０３９", "510-0885"},
            {"沖縄県うるま市字宮里２８１", "904-2243"},
            {"佐賀県武雄市山内町大字鳥海字椿原１１１２５", "849-2302"},
            {"宮城県加美郡加美町 字一本杉７", "981-4262"},
            {"大分県中津市大字東浜３３２", "871-0006"},
            {"秋田県横手市十文字町越前1", "019-0512"},
            {"長野県北佐久郡軽井沢町大字軽井沢1323", "389-0102"},
            // A 字 name given picks among the names of the notes, with their numbers and exceptions.
            {"秋田県由利本荘市石脇字田尻野５", "015-0013"},
            {"宮城県刈田郡蔵王町大字円田字土浮山3番地", "989-0921"},
            {"宮城県柴田郡川崎町大字前川字裏丁175-1", "989-1501"},
            {"青森県上北郡六戸町大字犬落瀬字下久保174", "039-2371"},
            // A number straight after the city, and lists of block numbers taken whole.
            {"静岡県下田市１－４－２８", "415-0001"},
            {"愛知県名古屋市中村区名駅1-1-4", "450-0002"},
            {"名古屋市中村区名駅1丁目1番14号", "453-0002"},
            // Addresses as people write them: the city is read first, with or without its 郡 and its
            // prefecture's 県, and never taken for a town (美里町's 塩釜, 檮原町's 檮原).
            {"宮城県塩釜市本町1-1", "985-0052"},
            {"高知県梼原町川西路2320", "785-0612"},
            {"北海道倶知安町北１条東２丁目", "044-0001"},
            {"福岡北九州市小倉北区大手町1-1", "803-0814"},
            {"府中市宮町1", "183-0023"},
            // Numbers in either script, half-width kana, old forms, compatibility ideographs.
            {"北海道札幌市東区北３２条東１６丁目", "065-0032"},
            {"北海道岩見沢市１２条西３丁目", "068-0032"},
            {"千葉県袖ｹ浦市長浦駅前1-1", "299-0246"},
            {"東京都千代田区麴町4-1", "102-0083"},
            {"東京都豊島区南大\uFA10", "170-0005"},
            // A town written without its 町, or with 町 for 丁, where one town fits: also after a
            // number (三田 is no 3 after the city) and after a town of the name's beginning (真駒内).
            {"新潟県十日町市春日", "948-0057"},
            {"和歌山県和歌山市7番町", "640-8156"},
            {"兵庫県三田市三田１－２", "669-1533"},
            {"北海道札幌市南区真駒内曙1-2", "005-0018"},
            {"長野県長野市大字長野元善町492", "381-0000!"},
        };
        for (const auto &[address, code] : decided)
            newRow(address) << QString::fromUtf8(address) << QString::fromUtf8(code) << 0 << none;
        newRow("no chome") << u"北海道札幌市中央区北一条西"_s << QString() << 2
                           << QStringList{"060-0001　北海道札幌市中央区北一条西（１～１９丁目）",
                                          "064-0821　北海道札幌市中央区北一条西（２０～２８丁目）"};
        newRow("a town in two cities")
            << u"東京都一番町1"_s << QString() << 2
            << QStringList{"102-0082　東京都千代田区一番町", "190-0033　東京都立川市一番町"};
        newRow("a city's name shared") << u"明和町"_s << QString() << 2
                                       << QStringList{"370-0700　群馬県邑楽郡明和町（以下に掲載がない場合）",
                                                      "515-0300　三重県多気郡明和町（以下に掲載がない場合）"};
        newRow("a variation selector after a kanji")
            << u"奈良県葛\U000E0100城市"_s << u"639-2100"_s << 0 << none;
        newRow("a town that may be a city's")
            << u"三重県朝日町一区"_s << QString() << 2
            << QStringList{"510-0000　三重県三重郡朝日町（以下に掲載がない場合）",
                           "515-0003　三重県松阪市朝日町一区"};
        newRow("a code of many towns") << u"452-0961"_s << u"452-0961"_s << 66
                                       << QStringList{"愛知県清須市春日明河原　ハルヒアケガワラ"};
    }
    void japanPostAddresses()
    {
        QFETCH(QString, given);
        QFETCH(QString, code);
        QFETCH(int, count);
        QFETCH(QStringList, asked);
        // The index built with the program, and the same data read from the zips as a user downloads them.
        for (const PostalLoadResult *data : {&m_shipped, &m_japanPost[0], &m_japanPost[1]}) {
            const PostalLoadResult &edition = *data;
            QVERIFY(edition.directory && edition.directory->entryCount() > 100000);
            PostalCompleter completer([&edition] { return &edition; });
            const bool isCode = PostalText::parseCode(given).has_value();
            AddressRecord record{isCode ? given : QString(), isCode ? QString() : given, {}, kMap};
            QStringList shown;
            const CompletionNote note = completeAs(completer, record, -1, &shown);
            QCOMPARE(record.postalCode + (note == CompletionNote::CityCodeOnly ? u"!"_s : QString()), code);
            QCOMPARE(shown.size(), count);
            // The UTF-8 edition writes its ranges with 〜 where KEN_ALL has ～.
            QCOMPARE(shown.mid(0, asked.size()).replaceInStrings(u"〜"_s, u"～"_s), asked);
        }
    }

    void damagedShippedDataIsRefused_data()
    {
        addColumn<qsizetype>("at"); // where one byte is changed: from the end when negative
        addColumn<QString>("status");
        const QString damaged = u"郵便番号データ postal.idx が壊れています"_s;
        newRow("the version") << qsizetype(8) << damaged;
        newRow("one byte of a town's text") << qsizetype(4096) << damaged;
        newRow("one byte of the last section") << qsizetype(-1) << damaged;
        newRow("missing") << qsizetype(0) << u"郵便番号データ postal.idx を読み込めません"_s;
    }
    void damagedShippedDataIsRefused()
    {
        QFETCH(qsizetype, at);
        QFETCH(QString, status);
        QTemporaryDir folder;
        QByteArray bytes = m_files.readAll(QStringLiteral(VELMORA_POSTAL_DATA), 1 << 26).value();
        bytes[at < 0 ? bytes.size() + at : at] ^= 0x20;
        if (at != 0)
            writeFile(folder.filePath(u"postal.idx"_s), bytes);
        // A refused file of the user's then has no shipped data to fall back on.
        writeFile(folder.filePath(u"JIGYOSYO.CSV"_s), "x");
        const PostalLoadResult loaded =
            PostalDirectoryLoader::load(m_files, folder.filePath(u"postal.idx"_s), folder.path());
        QCOMPARE(loaded.messages, (QStringList{status, u"JIGYOSYO.CSV を使用できません"_s}));
        QCOMPARE(loaded.directory->entryCount(), 0);
        QVERIFY(loaded.directory->find(1000001).isEmpty());
    }

    // The user's files are read once and then opened from a cache, which must give way to any change
    // of them, even one that keeps the size and the time, and to damage of its own.
    void userFilesCachedUntilChanged()
    {
        QTemporaryDir folder;
        const QString csv = folder.filePath(u"KEN_ALL.CSV"_s);
        const QString cache = folder.filePath(PostalDirectoryLoader::cacheFileName());
        auto codeOf = [&](const QString &address) {
            const PostalLoadResult loaded =
                PostalDirectoryLoader::load(m_files, QStringLiteral(VELMORA_POSTAL_DATA), folder.path());
            const auto found = AddressMatcher::match(*loaded.directory, address).entries;
            return found.isEmpty() ? 0u : found.front().code;
        };
        writeFile(csv, cp932(kTowns));
        QCOMPARE(codeOf(u"北海道美唄市上美唄町南"_s), 790177u);
        QVERIFY(QFileInfo::exists(cache));
        const QDateTime time = QFileInfo(csv).lastModified();
        writeFile(csv, cp932(QString(kTowns).replace(u"美唄市"_s, u"美唄町"_s)));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(codeOf(u"北海道美唄町上美唄町南"_s), 790177u);
        QByteArray cached = m_files.readAll(cache, 1 << 26).value();
        cached[cached.size() / 2] ^= 1;
        writeFile(cache, cached);
        QCOMPARE(codeOf(u"北海道美唄町上美唄町南"_s), 790177u);
        QCOMPARE(m_files.readAll(cache, 1 << 26).value().size(), cached.size());
        QVERIFY(m_files.readAll(cache, 1 << 26).value() != cached);
        // Cut short by another program while in use, the cache must not take this one down with it.
        const PostalLoadResult loaded =
            PostalDirectoryLoader::load(m_files, QStringLiteral(VELMORA_POSTAL_DATA), folder.path());
        QVERIFY(QFile::resize(cache, 0));
        QCOMPARE(AddressMatcher::match(*loaded.directory, u"北海道美唄町上美唄町南"_s).entries.size(), 1);
    }

    void userFilesAndTheirRefusalReportedOnce_data()
    {
        addColumn<Files>("files");       // in the user data folder
        addColumn<QStringList>("found"); // code, blank, address
        addColumn<QStringList>("status");
        const QByteArray towns = zipOf({{"KEN_ALL.CSV", cp932(kTowns)}});
        const QString shippedBusiness = u"100-8979 東京都千代田区霞が関３丁目３－２"_s;
        newRow("unpacked") << Files{{"utf_ken_all.csv", "name,phone\nfoo,123\n"},
                                    {"KEN_ALL.CSV", cp932(kTowns)},
                                    {"jigyosyo.csv", cp932(kTowns)}}
                           << QStringList{"079-0177 北海道美唄市上美唄町協和", "104-0061 ", shippedBusiness}
                           << QStringList{"utf_ken_all.csv を使用できません（KEN_ALL.CSV を使用します）",
                                          "jigyosyo.csv を使用できません（同梱データを使用します）"};
        newRow("zips as downloaded") << Files{{"KEN_ALL.ZIP", zipOf({{"ken_all.csv", cp932(kTowns)}})},
                                              {"jigyosyo.zip", zipOf({{"JIGYOSYO.CSV", cp932(kBusiness)}})}}
                                     << QStringList{"079-0177 北海道美唄市上美唄町協和", "104-0061 ",
                                                    "100-8066 東京都千代田区大手町１丁目３－７"}
                                     << QStringList();
        const QString downloads = QStringLiteral(VELMORA_JAPAN_POST_DOWNLOADS "/");
        newRow("Japan Post's downloads, before older unpacked files")
            << Files{{"ken_all.zip", m_files.readAll(downloads + "ken_all.zip", 1 << 22).value_or("")},
                     {"jigyosyo.zip", m_files.readAll(downloads + "jigyosyo.zip", 1 << 22).value_or("")},
                     {"KEN_ALL.CSV", cp932(kTowns)},
                     {"JIGYOSYO.CSV", cp932(kBusiness)}}
            << QStringList{"100-0001 東京都千代田区千代田", shippedBusiness} << QStringList();
        const QString refused = u"%1 を使用できません（同梱データを使用します）"_s;
        newRow("damaged zips: truncated, checksum wrong, the entry only in a folder")
            << Files{{"utf_ken_all.zip", zipOf({{"utf_ken_all.csv", kTowns.toUtf8()}}).chopped(9)},
                     {"ken_all.zip", QByteArray(towns).replace(towns.mid(14, 4), "CRC!")},
                     {"jigyosyo.zip", zipOf({{"x/JIGYOSYO.CSV", cp932(kBusiness)}})}}
            << QStringList{"104-0061 東京都中央区銀座", shippedBusiness}
            << QStringList{refused.arg("utf_ken_all.zip"), refused.arg("ken_all.zip"),
                           refused.arg("jigyosyo.zip")};
        // The entry's size as the archive declares it (in its local header and its central directory
        // alike), one byte short of what it holds.
        QByteArray shortened = towns;
        const qsizetype central = shortened.indexOf("PK\x01\x02");
        for (const qsizetype at : {qsizetype(22), central + 24})
            qToLittleEndian(qFromLittleEndian<quint32>(shortened.constData() + at) - 1,
                            shortened.data() + at);
        newRow("zip declaring a size it does not hold")
            << Files{{"ken_all.zip", shortened}} << QStringList{"104-0061 東京都中央区銀座", shippedBusiness}
            << QStringList{refused.arg("ken_all.zip")};
        // One more town, or city, than the index holds: no file of Japan Post's, and not the end of
        // the program.
        const QByteArray town = cp932(ken("0600000", "町", "ﾏﾁ", u"市#"_s));
        const qsizetype number = town.indexOf('#');
        QByteArray cities;
        for (int i = 0; i <= PostalIndexWriter::kMaxCitiesOfAKind; ++i)
            cities += town.first(number) + QByteArray::number(i) + town.sliced(number + 1);
        for (const auto &[row, file] : {std::pair{"more towns than the index holds",
                                                  town.repeated(PostalIndexWriter::kMaxRecordsOfAKind + 1)},
                                        {"more cities than the index holds", cities}})
            newRow(row) << Files{{"KEN_ALL.CSV", file + cp932(country())}}
                        << QStringList{"100-0001 東京都千代田区千代田", shippedBusiness}
                        << QStringList{refused.arg("KEN_ALL.CSV")};
    }
    void userFilesAndTheirRefusalReportedOnce()
    {
        QFETCH(Files, files);
        QFETCH(QStringList, found);
        QFETCH(QStringList, status);
        QTemporaryDir folder;
        for (const auto &[name, bytes] : files.asKeyValueRange())
            writeFile(folder.filePath(name), bytes);
        QStringList shown;
        BackgroundPostalLoader factory([&shown](const QString &text) { shown.append(text); }, m_files,
                                       QStringLiteral(VELMORA_POSTAL_DATA), folder.path());
        for (const QString &codeAndAddress : found) {
            AddressRecord record{codeAndAddress.left(8), {}, {}, {}};
            completeAs(*factory.createCompleter(), record, 0);
            QCOMPARE(record.address, codeAndAddress.mid(9));
        }
        QCOMPARE(shown, status);
    }

    void loaderSaysWhenReadyOnItsOwnThread()
    {
        BackgroundPostalLoader factory({}, m_files, QStringLiteral(VELMORA_POSTAL_DATA), {});
        QObject context;
        QString date = u"<not called>"_s;
        factory.whenReady(&context, [&] { date = factory.dataDate(); });
        QCOMPARE(date, u"<not called>"_s);
        QTRY_COMPARE(date, QStringLiteral(VELMORA_POSTAL_DATA_DATE));
        bool again = false;
        factory.whenReady(&context, [&] { again = true; });
        QTRY_VERIFY(again);
        // What is wrong with the data is told once it has loaded, before any search.
        QStringList shown;
        QTemporaryDir empty;
        BackgroundPostalLoader missing([&shown](const QString &text) { shown.append(text); }, m_files,
                                       empty.filePath(u"postal.idx"_s), {});
        missing.whenReady(&context, [] {});
        QTRY_COMPARE(shown, QStringList{u"郵便番号データ postal.idx を読み込めません"_s});
    }

    void zipUnpackedPastTheLimitIsRefused()
    {
        const QByteArray archive = zipOf({{"KEN_ALL.CSV", QByteArray(1000, 'x')}});
        QCOMPARE(ZipEntryReader::read(archive, u"ken_all.csv"_s, 1000).value_or("").size(), 1000);
        QVERIFY(!ZipEntryReader::read(archive, u"ken_all.csv"_s, 999));
    }
};

QTEST_GUILESS_MAIN(tst_Postal)
#include "tst_postal.moc"
