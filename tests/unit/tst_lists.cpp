// Whole lists through velmora-complete's options and the list completion, against the shipped data:
// each output checked byte for byte, each bad file refused with its line and nothing written.
#include "address/PostalDirectoryLoader.h"
#include "complete/CompleteOptions.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "lists/ListCompletion.h"
#include "lists/ListPreview.h"
#include "support/UnwritableTown.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

enum class Form { Cp932, Cp932Bom, Utf8, Utf8Bom, Bytes };

QByteArray bytesOf(const QString &text, Form form)
{
    switch (form) {
    case Form::Cp932:
        return Cp932Table().encode(text).value();
    case Form::Cp932Bom:
        return "\xEF\xBB\xBF" + Cp932Table().encode(text).value();
    case Form::Utf8:
        return text.toUtf8();
    case Form::Utf8Bom:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case Form::Bytes:
        break;
    }
    return text.toLatin1();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

} // namespace

class ListsTest : public QObject {
    Q_OBJECT

    Cp932Table m_codec;
    FileSystem m_files{m_codec};
    PostalLoadResult m_data = PostalDirectoryLoader::load(m_files, QStringLiteral(VELMORA_POSTAL_DATA), {});

private slots:
    void lists_data();
    void lists();
    void badInput_data();
    void badInput();
    void firstRowsMislead_data();
    void firstRowsMislead();
    void candidatesCapped();
    void cancel();
    void preview_data();
    void preview();
    void program();
};

void ListsTest::lists_data()
{
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");

    QTest::newRow("CP932, CR LF: code from address, address from code")
        << Form::Cp932 << QString() << u"郵便番号,住所\r\n,東京都千代田区千代田1-1\r\n100-0001,\r\n"_s
        << u"郵便番号,住所,照合結果,候補\r\n100-0001,東京都千代田区千代田1-1,補完,\r\n"
           u"100-0001,東京都千代田区千代田,補完,\r\n"_s;
    QTest::newRow("UTF-8 with its mark, LF, quoted: stays so")
        << Form::Utf8Bom << QString() << u"\"〒\",\"所在地\"\n\"\",\"東京都千代田区千代田\"\n"_s
        << u"\"〒\",\"所在地\",\"照合結果\",\"候補\"\n\"100-0001\",\"東京都千代田区千代田\",\"補完\",\"\"\n"_s;
    QTest::newRow("UTF-8: agrees, disagrees; a code filled among numbers gets the hyphen")
        << Form::Utf8 << QString()
        << u"郵便番号,住所\n1000001,千代田区千代田1-1\n5300001,東京都千代田区千代田\n,大阪府大阪市北区梅田1\n"_s
        << u"郵便番号,住所,照合結果,候補\n1000001,千代田区千代田1-1,一致,\n"
           u"5300001,東京都千代田区千代田,不一致,100-0001　東京都千代田区千代田\n"
           u"530-0001,大阪府大阪市北区梅田1,補完,\n"_s;
    QTest::newRow("tabs, the address over columns, filled part by part")
        << Form::Cp932 << QString()
        << u"都道府県\t市区町村\t町域\t番地\t郵便番号\n\t\t\t\t1000001\n東京都\t千代田区\t千代田\t1-1\t\n"_s
        << u"都道府県\t市区町村\t町域\t番地\t郵便番号\t照合結果\t候補\n東京都\t千代田区\t千代田\t\t1000001\t"
           u"補完\t\n"
           u"東京都\t千代田区\t千代田\t1-1\t100-0001\t補完\t\n"_s;
    QTest::newRow("a field with a line break and quotes; no code column, so one is added")
        << Form::Cp932 << QString() << u"会社,住所\r\n\"A \"\"x\"\"\r\n2\",東京都千代田区千代田\r\n"_s
        << u"会社,住所,郵便番号,照合結果,候補\r\n\"A \"\"x\"\"\r\n2\",東京都千代田区千代田,100-0001,補完,\r\n"_s;
    QTest::newRow("shared code, unknown code, the city's code, blank, short row")
        << Form::Cp932 << QString()
        << u"郵便番号,住所\n0040000,\n9999999,\n,北海道札幌市中央区ほげ町1\n,\n1\n"_s
        << u"郵便番号,住所,照合結果,候補\n0040000,,候補複数,北海道札幌市厚別区（以下に掲載がない場合） / "
           u"北海道札幌市清田区（以下に掲載がない場合）\n9999999,,見つかりません,\n"
           u"060-0000,北海道札幌市中央区ほげ町1,市区町村のみ,\n,,,\n1,列数違い,\n"_s;
    // A spreadsheet keeps "060-0001" as text, but reads "0600001" as a number and drops its 0.
    QTest::newRow("a column of numbers: a code filled there gets the hyphen")
        << Form::Cp932 << QString() << u"郵便番号,住所\n1000001,\n,北海道札幌市中央区北一条西1丁目\n"_s
        << u"郵便番号,住所,照合結果,候補\n1000001,東京都千代田区千代田,補完,\n"
           u"060-0001,北海道札幌市中央区北一条西1丁目,補完,\n"_s;
    QTest::newRow("full-width digits are text to a spreadsheet: the code filled as the column writes it")
        << Form::Cp932 << QString() << u"郵便番号,住所\n１０００００１,\n,北海道札幌市中央区北一条西1丁目\n"_s
        << u"郵便番号,住所,照合結果,候補\n１０００００１,東京都千代田区千代田,補完,\n"
           u"0600001,北海道札幌市中央区北一条西1丁目,補完,\n"_s;
    QTest::newRow("codes whose leading 0 a spreadsheet dropped: said so, never a match, the full code given")
        << Form::Cp932 << QString()
        << u"郵便番号,住所\n600001,北海道札幌市中央区北一条西\n60-0001,\n10010,北海道札幌市北区北十条西\n"
           u"600001,東京都千代田区千代田\n"_s
        << u"郵便番号,住所,照合結果,候補\n600001,北海道札幌市中央区北一条西,先頭の0が欠落,060-0001\n"
           u"60-0001,北海道札幌市中央区北一条西,先頭の0が欠落,060-0001\n"
           u"10010,北海道札幌市北区北十条西,先頭の0が欠落,001-0010\n"
           u"600001,東京都千代田区千代田,不一致,100-0001　東京都千代田区千代田\n"_s;
    QTest::newRow("an empty line passes; the last line keeps having no line end")
        << Form::Cp932 << QString() << u"郵便番号,住所\n\n100-0001,"_s
        << u"郵便番号,住所,照合結果,候補\n\n100-0001,東京都千代田区千代田,補完,"_s;
    QTest::newRow("no header: columns by number")
        << Form::Cp932 << u"--code-column 2 --address-column=3"_s << u"x,,東京都千代田区千代田\n"_s
        << u"x,100-0001,東京都千代田区千代田,補完,\n"_s;
    QTest::newRow("no header: an address holding 番地 is no header name")
        << Form::Cp932 << u"--code-column 1 --address-column 2"_s << u",東京都千代田区丸の内1丁目1番地\n"_s
        << u"100-0005,東京都千代田区丸の内1丁目1番地,補完,\n"_s;
    QTest::newRow("a header the user names as one")
        << Form::Cp932 << u"--header --address-column 1"_s << u"送付先\n東京都千代田区千代田\n"_s
        << u"送付先,郵便番号,照合結果,候補\n東京都千代田区千代田,100-0001,補完,\n"_s;
    QTest::newRow("CP932 behind a UTF-8 mark, as asked; the mark stays")
        << Form::Cp932Bom << u"--encoding cp932"_s << u"郵便番号,住所\n,東京都千代田区千代田\n"_s
        << u"郵便番号,住所,照合結果,候補\n100-0001,東京都千代田区千代田,補完,\n"_s;
    QTest::newRow("columns by name, over the header's guess")
        << Form::Cp932 << u"--address-column 送付先 --code-column 〒"_s
        << u"〒,住所,送付先\n,大阪府大阪市北区梅田1,東京都千代田区千代田\n"_s
        << u"〒,住所,送付先,照合結果,候補\n100-0001,大阪府大阪市北区梅田1,東京都千代田区千代田,補完,\n"_s;
}

void ListsTest::lists()
{
    QFETCH(Form, form);
    QFETCH(QString, arguments);
    QFETCH(QString, input);
    QFETCH(QString, output);
    const QTemporaryDir folder;
    const QString path = folder.filePath(u"一覧.csv"_s);
    writeFile(path, bytesOf(input, form));
    QString error;
    auto options = CompleteOptions::parse(arguments.split(u' ', Qt::SkipEmptyParts) << path, &error);
    QVERIFY2(options, qPrintable(error));
    const auto report = ListCompletion(*m_data.directory, m_files).run(options->request);
    QCOMPARE(report.error, QString());
    QCOMPARE(report.output, folder.filePath(u"一覧_velmora.csv"_s));
    QCOMPARE(readFile(report.output), bytesOf(output, form));
    QCOMPARE(report.warning.isEmpty(), form != Form::Cp932Bom);
}

void ListsTest::badInput_data()
{
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("error");

    QTest::newRow("unclosed quote") << Form::Cp932 << QString() << u"郵便番号,住所\n,x\n\"100,\n"_s
                                    << u"3 行目: 引用符"_s;
    QTest::newRow("text after a closing quote")
        << Form::Cp932 << QString() << u"郵便番号,住所\n\"1\"2,x\n"_s << u"2 行目: 引用符で囲んだ"_s;
    QTest::newRow("NUL") << Form::Bytes << u"--code-column 1"_s << u"a,b\n1,\0\n"_s << u"2 行目: NUL"_s;
    QTest::newRow("neither CP932 nor UTF-8")
        << Form::Bytes << u"--code-column 1"_s << u"a,b\n,\xE3\x81\x82\n,\x82\xA0\n"_s
        << u"3 行目: 文字コード"_s;
    QTest::newRow("UTF-8 asked of CP932")
        << Form::Cp932 << u"--encoding utf-8"_s << u"郵便番号\n東京\n"_s << u"1 行目: UTF-8"_s;
    QTest::newRow("no header, no columns given")
        << Form::Cp932 << QString() << u"1,2\n"_s << u"見出し行（郵便番号、住所など）がありません"_s;
    QTest::newRow("column beyond the row")
        << Form::Cp932 << u"--code-column 3"_s << u"1,2\n"_s << u"列 3 はありません"_s;
    QTest::newRow("a line of more than 1 MiB")
        << Form::Cp932 << QString() << u"郵便番号,住所\n1,"_s + QString(1100000, u'x')
        << u"2 行目: 1 行が長すぎます"_s;
    QTest::newRow("output exists") << Form::Cp932 << u"-o 一覧.csv.old"_s << u"郵便番号\n"_s
                                   << u"既にあります"_s;
    QTest::newRow("output is the input")
        << Form::Cp932 << u"--force -o 一覧.csv"_s << u"郵便番号\n"_s << u"入力ファイルと同じ"_s;
    QTest::newRow("output is a folder")
        << Form::Cp932 << u"-o dir"_s << u"郵便番号\n"_s << u"フォルダーです"_s;
    QTest::newRow("lines ended by CR alone")
        << Form::Cp932 << QString() << u"郵便番号,住所\r,東京都千代田区千代田\r"_s << u"CR だけ"_s;
}

void ListsTest::badInput()
{
    QFETCH(Form, form);
    QFETCH(QString, arguments);
    QFETCH(QString, input);
    QFETCH(QString, error);
    const QTemporaryDir folder;
    writeFile(folder.filePath(u"一覧.csv"_s), bytesOf(input, form));
    writeFile(folder.filePath(u"一覧.csv.old"_s), "old");
    QVERIFY(QDir(folder.path()).mkdir(u"dir"_s));
    QString parseError;
    auto options =
        CompleteOptions::parse(arguments.split(u' ', Qt::SkipEmptyParts) << u"一覧.csv"_s, &parseError);
    QVERIFY(options);
    auto &request = options->request;
    request.input = folder.filePath(request.input);
    request.output = request.output.isEmpty() ? QString() : folder.filePath(request.output);
    const auto report = ListCompletion(*m_data.directory, m_files).run(request);
    QCOMPARE(report.outcome, ListCompletion::Outcome::Failed);
    QVERIFY2(report.error.contains(error), qPrintable(report.error));
    // Nothing written, nothing left behind, nothing replaced.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList({u"一覧.csv"_s, u"一覧.csv.old"_s}));
    QCOMPARE(readFile(folder.filePath(u"一覧.csv.old"_s)), "old");
}

void ListsTest::firstRowsMislead_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("lastRow");
    const QByteArray plain = QByteArray("1000001,a\n").repeated(1000);
    const QString place = u"東京都千代田区千代田"_s;
    // Full-width digits, which a spreadsheet leaves as text: the first thousand say "no hyphen".
    QTest::newRow("most codes have the hyphen, though not the first thousand")
        << QString()
        << bytesOf(u"郵便番号,住所\n"_s, Form::Cp932) +
               bytesOf(u"１０００００１,a\n"_s, Form::Cp932).repeated(1000) +
               QByteArray("100-0001,a\n").repeated(1001) + ',' + bytesOf(place, Form::Cp932) + '\n'
        << "100-0001," + bytesOf(place, Form::Cp932) + ",\x95\xE2\x8A\xAE,\n";
    QTest::newRow("UTF-8 after a thousand rows of ASCII")
        << u"--code-column 1 --address-column 2"_s << plain + ',' + place.toUtf8() + '\n'
        << "100-0001," + place.toUtf8() + ',' + u"補完"_s.toUtf8() + ",\n";
}

void ListsTest::firstRowsMislead()
{
    // The whole file decides how its text and its codes are written, not the rows read first.
    QFETCH(QString, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, lastRow);
    const QTemporaryDir folder;
    const QString path = folder.filePath(u"l.csv"_s);
    writeFile(path, input);
    QString error;
    const auto options = CompleteOptions::parse(arguments.split(u' ', Qt::SkipEmptyParts) << path, &error);
    QVERIFY2(options, qPrintable(error));
    const auto report = ListCompletion(*m_data.directory, m_files).run(options->request);
    QCOMPARE(report.error, QString());
    QCOMPARE(report.counts[std::size_t(RowStatus::Completed)], 1);
    const QByteArray output = readFile(report.output);
    QVERIFY2(output.endsWith(lastRow), output.right(80).toHex().constData());
    QCOMPARE(output.count('\n'), input.count('\n'));
}

void ListsTest::candidatesCapped()
{
    // 452-0961 is shared by 66 towns in Japan Post's file: ten are shown, and how many more.
    const QTemporaryDir folder;
    writeFile(folder.filePath(u"l.csv"_s), "\xE3\x80\x92,x\n4520961,\n");
    ListCompletion::Request request;
    request.input = folder.filePath(u"l.csv"_s);
    const auto report = ListCompletion(*m_data.directory, m_files).run(request);
    QCOMPARE(report.counts[std::size_t(RowStatus::Several)], 1);
    const QString cell =
        QString::fromUtf8(readFile(report.output)).trimmed().section(u'\n', -1).section(u',', 3);
    QVERIFY2(cell.endsWith(u"上川畑　ハルヒカミカワバタ …ほか 56 件"_s), qPrintable(cell));
    QCOMPARE(cell.count(u" / "_s), 9);
}

void ListsTest::cancel()
{
    // Stopped while writing, a list leaves neither its output nor a temporary file behind.
    const QTemporaryDir folder;
    writeFile(folder.filePath(u"l.csv"_s), "\xE3\x80\x92,x\n" + QByteArray("1000001,\n").repeated(20000));
    std::atomic<bool> stop{false};
    ListCompletion::Request request;
    request.input = folder.filePath(u"l.csv"_s);
    const auto report = ListCompletion(*m_data.directory, m_files)
                            .run(
                                request, [&](qint64 done, qint64 total) { stop = done > total / 2; }, &stop);
    QCOMPARE(report.outcome, ListCompletion::Outcome::Cancelled);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{u"l.csv"_s});
}

void ListsTest::preview_data()
{
    QTest::addColumn<Form>("form");
    QTest::newRow("CP932") << Form::Cp932;
    QTest::newRow("UTF-8 with its mark") << Form::Utf8Bom;
}

void ListsTest::preview()
{
    // A list whose columns are not found shows its first rows in its own encoding; one whose are runs.
    QFETCH(Form, form);
    const QTemporaryDir folder;
    ListRequest request;
    request.input = folder.filePath(u"l.csv"_s);
    writeFile(request.input, bytesOf(u"山田\t東京都\n\n佐藤\t大阪府\n鈴木\t京都府\n"_s, form));
    const ListPreview headerless = ListPreview::of(request, m_codec, 2);
    QCOMPARE(headerless.outcome, ListPreview::Outcome::ColumnsNotFound);
    QCOMPARE(headerless.rows, (QList<QStringList>{{u"山田"_s, u"東京都"_s}, {u"佐藤"_s, u"大阪府"_s}}));
    writeFile(request.input, bytesOf(u"名前\t住所\n佐藤\t大阪府\n"_s, form));
    QCOMPARE(ListPreview::of(request, m_codec, 2).outcome, ListPreview::Outcome::Ready);
}

void ListsTest::program()
{
    const QTemporaryDir folder;
    writeFile(folder.filePath(u"list.csv"_s),
              bytesOf(u"郵便番号,住所\r\n,東京都千代田区千代田1-1\r\n"_s, Form::Cp932));
    QVERIFY(QFile::copy(folder.filePath(u"list.csv"_s), folder.filePath(u"-x.csv"_s)));
    writeFile(folder.filePath(u"zero.csv"_s), "\xE3\x80\x92,x\n10010,\n");
    QProcess run;
    run.setWorkingDirectory(folder.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s,
                       folder.path()); // the user data folder, with none of Japan Post's files
    environment.insert(u"VELMORA_POSTAL_SOURCE"_s, u"http://127.0.0.1:9/"_s);
    run.setProcessEnvironment(environment);
    for (const auto &[arguments, status, said] : {
             std::tuple{QStringList{u"list.csv"_s}, 0, u"完了: 1 行（補完 1）"_s},
             std::tuple{QStringList{u"list.csv"_s}, 1, u"--force"_s},
             std::tuple{QStringList{u"--encoding"_s, u"latin1"_s, u"list.csv"_s}, 2, u"使い方"_s},
             // A column the list lacks is the command line's fault too, said with the row's width.
             std::tuple{QStringList{u"--code-column"_s, u"9"_s, u"-o"_s, u"x.csv"_s, u"list.csv"_s}, 2,
                        u"列 9 はありません（1 行目は 2 列です）"_s},
             // After "--", a name that begins with "-" is a file's.
             std::tuple{QStringList{u"--"_s, u"-x.csv"_s}, 0, u"完了: 1 行（補完 1）"_s},
             // A code whose 0 a spreadsheet dropped is counted apart.
             std::tuple{QStringList{u"zero.csv"_s}, 0, u"完了: 1 行（先頭の0が欠落 1）"_s},
             // The data's update never fetches over plain HTTP, and takes no list.
             std::tuple{QStringList{u"--update-data"_s}, 1,
                        u"暗号化されていないアドレス http://127.0.0.1:9/"_s},
             std::tuple{QStringList{u"--update-data"_s, u"list.csv"_s}, 2, u"入力ファイルを指定しません"_s},
         }) {
        run.start(QStringLiteral(VELMORA_COMPLETE_EXE), arguments);
        QVERIFY(run.waitForFinished(120000));
        const QString told = QString::fromUtf8(run.readAllStandardError());
        QVERIFY2(run.exitCode() == status && told.contains(said), qPrintable(told));
    }
    QCOMPARE(
        readFile(folder.filePath(u"list_velmora.csv"_s)),
        bytesOf(u"郵便番号,住所,照合結果,候補\r\n100-0001,東京都千代田区千代田1-1,補完,\r\n"_s, Form::Cp932));
    // An address CP932 cannot store is not written into a CP932 list, and the row says why.
    QVERIFY(QDir(folder.path()).mkpath(u"Norvane/velmora"_s));
    QVERIFY(writeUnwritableTown(folder.filePath(u"Norvane/velmora"_s)));
    writeFile(folder.filePath(u"list.csv"_s), bytesOf(u"郵便番号,住所\r\n9990001,\r\n"_s, Form::Cp932));
    run.start(QStringLiteral(VELMORA_COMPLETE_EXE), {u"--force"_s, u"list.csv"_s});
    QVERIFY(run.waitForFinished(120000));
    const QString told = QString::fromUtf8(run.readAllStandardError());
    QVERIFY2(run.exitCode() == 0 && told.contains(u"（書けない文字 1）"_s), qPrintable(told));
    QCOMPARE(
        readFile(folder.filePath(u"list_velmora.csv"_s)),
        bytesOf(u"郵便番号,住所,照合結果,候補\r\n9990001,,書けない文字,CP932 で書けない文字があります\r\n"_s,
                Form::Cp932));
}

QTEST_GUILESS_MAIN(ListsTest)
#include "tst_lists.moc"
