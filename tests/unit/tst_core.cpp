// Everything but the postal directory and failing writes: the CP932 table against the system's own
// conversion, the settings file and the user data folder, request files, map queries, help shortcuts.
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "core/LeadingNumber.h"
#include "core/MapPosition.h"
#include "core/MapQuery.h"
#include "core/ReplaceRetry.h"
#include "core/RequestFile.h"
#include "core/RequestLock.h"
#include "core/Twips.h"
#include "platform/InternetShortcut.h"
#include "platform/ShellActions.h"
#include "platform/SystemCp932Codec.h"
#include "platform/SystemShortcutWriter.h"
#include "platform/WindowsCommandLine.h"
#include "settings/SettingsDocument.h"
#include "settings/UserDataFolder.h"
#include "settings/WindowPlacement.h"
#include "support/FakeMessages.h"
#include "support/FakeShellLauncher.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

using namespace Qt::Literals::StringLiterals;
using QTest::addColumn;
using QTest::newRow;

namespace {

const QByteArray kRefused = "<refused>";
QByteArray utf16(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

// The reference is the system's own conversion (iconv's CP932, or code page 932 on Windows). Where glibc
// refuses a byte that Windows reads, files from Windows callers decide.
const QList<std::pair<QByteArray, QString>> kWindowsOnly = {{"\x80", u"\u0080"_s},
                                                            {"\xa0", u"\uf8f0"_s},
                                                            {"\xfd", u"\uf8f1"_s},
                                                            {"\xfe", u"\uf8f2"_s},
                                                            {"\xff", u"\uf8f3"_s}};
QByteArray referenceDecoded(const QByteArray &bytes)
{
    if (const auto text = SystemCp932Codec().decode(bytes))
        return utf16(*text);
    for (const auto &[windowsBytes, text] : kWindowsOnly)
        if (bytes == windowsBytes)
            return utf16(text);
    if (bytes.size() < 2)
        return kRefused;
    const QByteArray first = referenceDecoded(bytes.first(1)), second = referenceDecoded(bytes.sliced(1));
    return first == kRefused || second == kRefused ? kRefused : first + second;
}
QByteArray referenceEncoded(const QString &text)
{
    for (const auto &[windowsBytes, windowsText] : kWindowsOnly)
        if (text == windowsText)
            return windowsBytes;
    return SystemCp932Codec().encode(text).value_or(kRefused);
}

const QByteArray kRoot = "\x89\x5e\x97\x70";     // 運用 in CP932
const QByteArray kPosition = "\x88\xca\x92\x75"; // 位置
const QByteArray kHeader = "<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<" + kRoot + ">\r\n";
QByteArray doc(const QByteArray &groups)
{
    return kHeader + groups + "</" + kRoot + ">";
}
QByteArray group(const QByteArray &name, const QByteArray &keys)
{
    return "   <" + name + ">\r\n" + keys + "   </" + name + ">\r\n";
}
QByteArray key(const QByteArray &name, const QByteArray &value)
{
    return "      <" + name + ">" + value + "</" + name + ">\r\n";
}

const QString kPrefix = u"http://127.0.0.1:9/maps?q="_s, kTail = u"&hl=ja&z=16"_s;
const QString kMap = kPrefix + u"x"_s + kTail;
// Request rows write "#" for the header, "|" for a tab and "$" for a map query URL.
QString expand(QString text)
{
    return text.replace(u'#', u"VelmoraA"_s).replace(u'|', u'\t').replace(u'$', kMap);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

class tst_Core : public QObject {
    Q_OBJECT

    const Cp932Table m_codec;
    const FileSystem m_files{m_codec};
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeMessages m_messages;

    // "@" in a path stands for the test's temporary folder.
    QString at(QString path) const { return path.replace(u'@', m_dir->path() + u'/'); }
    // The codec's answer in the reference's terms: UTF-16LE bytes, or "<refused>"; its bulk path and its
    // check alone must agree.
    QByteArray decoded(const QByteArray &bytes) const
    {
        const auto text = m_codec.decode(bytes);
        QString bulk(bytes.size(), Qt::Uninitialized);
        const qsizetype length = m_codec.decodeInto(bytes, reinterpret_cast<char16_t *>(bulk.data()));
        if (text ? length < 0 || bulk.first(length) != *text : length >= 0)
            return "<bulk decode differs>";
        if (m_codec.isValid(bytes) != text.has_value())
            return "<check differs>";
        return text ? utf16(*text) : kRefused;
    }

private slots:
    void initTestCase() { qputenv("VELMORA_MAP_BASE", "http://127.0.0.1:9"); }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_messages.texts.clear();
    }

    void encodesEveryBmpCharacterLikeTheSystem()
    {
        QString all;
        QByteArray allBytes;
        for (char32_t cp = 0; cp <= 0xFFFF; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            const QString text{QChar(char16_t(cp))};
            const QByteArray expected = referenceEncoded(text);
            QCOMPARE(m_codec.encode(text).value_or(kRefused), expected);
            if (expected == kRefused)
                continue;
            QCOMPARE(decoded(expected), utf16(text));
            all += text;
            allBytes += expected;
        }
        // ASCII, half-width kana, JIS X 0208 and the NEC and IBM rows.
        QVERIFY2(all.size() > 7800, qPrintable(QString::number(all.size())));
        QCOMPARE(m_codec.encode(all).value_or(kRefused), allBytes);
        QCOMPARE(decoded(allBytes), utf16(all));
        QCOMPARE(m_codec.firstUnencodable(u"東京𠮷é"_s), u"𠮷"_s); // a pair counts as one character
    }

    void decodesEveryOneAndTwoByteSequenceLikeTheSystem()
    {
        for (int n = 0; n < 256 + 65536; ++n) {
            QByteArray bytes(1, char(n));
            if (n >= 256)
                bytes.prepend(char((n - 256) >> 8));
            QCOMPARE(decoded(bytes), referenceDecoded(bytes));
        }
    }

    void settingsWorkedExample()
    {
        const auto position = [](const QByteArray &top) {
            return group(kPosition,
                         key("TOP", top) + key("LEFT", "960") + key("WIDTH", "9600") + key("HEIGHT", "7200"));
        };
        const QByteArray front =
            group("Front", key("Name", "\x93\x8c\x8b\x9e \xd2\xd3") + key("Ratio", "0.1") +
                               key("Big", "100000000000000000000"));
        {
            SettingsDocument settings(m_files, &m_messages);
            QVERIFY(settings.read(at(u"@User.xml"_s)));
            QCOMPARE(bytesOf(at(u"@User.xml"_s)), QByteArray()); // created empty at once
            WindowPlacement{720, 960, 9600, 7200}.writeTo(settings);
            SettingsGroup g = settings.group(u"Front"_s);
            g.setValue(u"Name"_s, u"東京 ﾒﾓ"_s);
            g.setValue(u"Ratio"_s, 0.1);
            g.setValue(u"Big"_s, 1e20);
            settings.setGroup(g);
            QVERIFY(settings.write());
        }
        QCOMPARE(bytesOf(at(u"@User.xml"_s)), doc(position("720") + front));

        // A development build's file name shares the settings, which read back as written.
        SettingsDocument settings(m_files, &m_messages);
        QVERIFY(settings.read(at(u"@User_dv.XML"_s)));
        QCOMPARE(settings.filePath(), at(u"@User.xml"_s));
        const WindowPlacement p = WindowPlacement::readFrom(settings);
        QCOMPARE((QList{p.top, p.left, p.width, p.height}), (QList{720, 960, 9600, 7200}));
        QCOMPARE(settings.group(u"Front"_s).value(u"Name"_s, QString()), u"東京 ﾒﾓ"_s);
        // The next close changes only the digits.
        WindowPlacement{800, 960, 9600, 7200}.writeTo(settings);
        QVERIFY(settings.write());
        QCOMPARE(bytesOf(at(u"@User.xml"_s)), doc(position("800") + front));
        QVERIFY(!QFile::exists(at(u"@User_dv.XML"_s)));
        QCOMPARE(m_messages.texts, QStringList());
    }

    void twipsSaturate()
    {
        constexpr int most = std::numeric_limits<int>::max();
        QCOMPARE(Twips::toPixels(most, 2880.0), most);
    }

    void damagedSettingsFiles_data()
    {
        addColumn<QByteArray>("content");
        addColumn<bool>("readable");
        addColumn<int>("top");            // the window's top as read
        addColumn<QString>("damaged");    // the element reported; none when empty
        addColumn<QByteArray>("written"); // the file once TOP is set to 5
        const QByteArray open = "   <" + kPosition + ">\r\n", close = "   </" + kPosition + ">\r\n";
        const QByteArray top1 = key("TOP", "1"), fresh = group(kPosition, key("TOP", "5"));
        const auto position = [](const QByteArray &keys) { return doc(group(kPosition, keys)); };
        const auto lf = [](const QByteArray &top) {
            return "<?xml version='1.0' encoding='Shift-JIS' ?>\n<" + kRoot + ">\n <" + kPosition +
                   ">\n  <TOP>" + top + "</TOP>\n </" + kPosition + ">\n</" + kRoot + ">\n";
        };
        const QByteArray decoy = group("A", key(kPosition, "0123"));
        // The damaged group's tags go when it is written, so that the next start reads it again.
        newRow("group closing tag missing")
            << doc(open + top1) << true << 0 << u"位置"_s << doc(top1 + fresh);
        newRow("group tags swapped") << doc(close + top1 + open) << true << 0 << u"位置"_s
                                     << doc(top1 + fresh);
        newRow("stray closing tag before the group")
            << doc(close + group(kPosition, top1)) << true << 0 << u"位置"_s << doc(fresh);
        newRow("key closing tag missing") << position("      <TOP>1\r\n") << true << 0 << u"TOP"_s
                                          << position("      1\r\n" + key("TOP", "5"));
        newRow("a key named like a later group") << doc(decoy + group(kPosition, key("TOP", "720"))) << true
                                                 << 720 << QString() << doc(decoy + fresh);
        newRow("LF line ends, other indentation") << lf("720") << true << 720 << QString() << lf("5");
        newRow("to even, down") << position(key("TOP", "100.5")) << true << 100 << QString() << doc(fresh);
        newRow("to even, up") << position(key("TOP", "101.5px")) << true << 102 << QString() << doc(fresh);
        newRow("beyond any screen") << position(key("TOP", "1e300")) << true << 0 << QString() << doc(fresh);
        newRow("beyond any screen, above")
            << position(key("TOP", "-1e300")) << true << 0 << QString() << doc(fresh);
        newRow("hexadecimal beyond any screen")
            << position(key("TOP", "&H" + QByteArray(300, 'F'))) << true << 0 << QString() << doc(fresh);
        newRow("root closing tag missing") << kHeader << true << 0 << QString() << doc(fresh);
        newRow("empty") << QByteArray() << true << 0 << QString() << doc(fresh);
        newRow("not CP932") << QByteArray("\x81") << false << 0 << QString() << doc(fresh);
    }
    void damagedSettingsFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, readable);
        QFETCH(int, top);
        QFETCH(QString, damaged);
        QFETCH(QByteArray, written);
        writeBytes(at(u"@User.xml"_s), content);
        SettingsDocument settings(m_files, &m_messages);
        QCOMPARE(settings.read(at(u"@User.xml"_s)), readable);
        QCOMPARE(WindowPlacement::readFrom(settings).top, top);
        QCOMPARE(m_messages.texts, damaged.isEmpty()
                                       ? QStringList()
                                       : QStringList{u'<' + damaged + u"> の設定が読み込めません\n"_s +
                                                     at(u"ﾕｰｻﾞｰ環境ﾌｧｲﾙ(@User.xml) が破損しています"_s)});
        SettingsGroup g = settings.group(u"位置"_s);
        g.setValue(u"TOP"_s, 5);
        settings.setGroup(g);
        QVERIFY(settings.write());
        QCOMPARE(bytesOf(at(u"@User.xml"_s)), written);
    }

    void userDataFolder_data()
    {
        addColumn<QString>("choice");   // the choice file's text; or no file, or bytes that are not CP932
        addColumn<QString>("existing"); // a folder made beforehand
        addColumn<QString>("folder");   // "$" stands for the default folder
        addColumn<QString>("message");
        const QString appData = u"@config/Norvane/Velmora/"_s, docs = u"@docs/Norvane/Velmora/"_s;
        const QString missing = u" が見つかりません\nﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　$ を使用します"_s;
        const QString undefined = u" ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞが定義されていません\n$ を使用します"_s;
        newRow("%usr%") << "%usr%" << QString() << appData << QString();
        newRow("%APP%") << "%APP%" << QString() << "@bin/usData/" << QString();
        newRow("%doc") << "%doc" << QString() << docs << QString();
        newRow("another keyword") << "%documents%" << QString() << appData << QString();
        newRow("the whole text counts") << "%app%\r\n" << QString() << appData << QString();
        newRow("folder in its own letter case") << "@My/Data" << u"@My/Data"_s << u"@My/Data/"_s << QString();
        newRow("folder with separator") << "@データ/" << u"@データ"_s << u"@データ/"_s << QString();
        newRow("missing folder") << "@Gone/There" << QString() << u"$"_s << "ﾌｫﾙﾀﾞ @Gone/There" + missing;
        newRow("no choice file") << "<none>" << QString() << u"$"_s << "@bin/UserData.ini" + missing;
        newRow("empty") << QString() << QString() << "$" << undefined;
        newRow("first line empty") << "\n%app%" << QString() << "$" << undefined;
        newRow("not CP932") << "<not CP932>" << QString() << "$" << undefined;
    }
    void userDataFolder()
    {
        QFETCH(QString, choice);
        QFETCH(QString, existing);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        const auto place = [this](const QString &text) {
            return at(text).replace(u'$', at(u"@config/Norvane/Velmora/"_s));
        };
        for (const QString &made : {u"@bin"_s, u"@config"_s, u"@docs"_s, existing})
            QVERIFY(made.isEmpty() || QDir().mkpath(at(made)));
        if (choice == u"<not CP932>"_s)
            writeBytes(at(u"@bin/UserData.ini"_s), "\x81");
        else if (choice != u"<none>"_s)
            QVERIFY(m_files.writeText(at(u"@bin/UserData.ini"_s), at(choice)));
        const QString chosen = UserDataFolder::resolve(
            ProgramIdentity(at(u"@bin/Velmora"_s)), {at(u"@config"_s), at(u"@docs"_s)}, m_files, &m_messages);
        // The folder is built with the system's separator.
        QCOMPARE(QDir::fromNativeSeparators(chosen), place(folder));
        QVERIFY(QFileInfo(chosen).isDir());
        QCOMPARE(QDir::fromNativeSeparators(m_messages.texts.join(u'|')), place(message));
        if (existing.isEmpty() && choice.startsWith(u'@'))
            QVERIFY(!QFileInfo::exists(at(choice)));
    }

    void refusedRenamesAreTriedAgainForAWhile_data()
    {
        addColumn<QString>("outcomes"); // per attempt: d done, f failed otherwise, r rename refused
        addColumn<int>("patience");
        addColumn<bool>("done");
        addColumn<int>("attempts"); // -1: as many as the patience allows
        newRow("let go soon") << "rrd" << 2000 << true << 3;
        newRow("never let go") << QString(100, u'r') << 2000 << false << -1;
        newRow("no patience") << "rd" << 0 << false << 1;
        newRow("other failures are final") << "fd" << 2000 << false << 1;
    }
    void refusedRenamesAreTriedAgainForAWhile()
    {
        QFETCH(QString, outcomes);
        QFETCH(int, patience);
        QFETCH(bool, done);
        QFETCH(int, attempts);
        int made = 0, slept = 0;
        const ReplaceRetry retry(patience, [&slept](int ms) { slept += ms; });
        QCOMPARE(retry.run([&] {
            const QChar c = outcomes.at(made++);
            return c == u'd'   ? ReplaceRetry::Outcome::Done
                   : c == u'f' ? ReplaceRetry::Outcome::Failed
                               : ReplaceRetry::Outcome::RenameRefused;
        }),
                 done);
        if (attempts >= 0)
            QCOMPARE(made, attempts);
        else // the whole patience, and not much more
            QVERIFY2(slept >= patience && slept < patience + 500, qPrintable(QString::number(slept)));
    }

    void requestFileIsRecognised_data()
    {
        addColumn<QString>("file");
        addColumn<QByteArray>("bytes");
        addColumn<QString>("argument");
        addColumn<QString>("text"); // null when refused
        const QString request = u"VelmoraA\t100-0001\t東京都\t\t\t"_s, name = u"@order 1Velmo.txt"_s;
        const QByteArray bytes = *SystemCp932Codec().encode(request);
        newRow("request") << name << bytes << name << request;
        newRow("quoted path") << name << bytes << '"' + name + '"' << QString();
        newRow("name in lower case") << "@avelmo.txt" << bytes << "@avelmo.txt" << QString();
        newRow("header in lower case") << name << QByteArray("velmoraA\t\t\t\t\t") << name << QString();
        newRow("not CP932") << name << QByteArray("VelmoraA\t\x81\t\t\t\t") << name << QString();
        newRow("far too large") << name << "VelmoraA\t" + QByteArray(FileSystem::kMaxTextBytes, 'a') << name
                                << QString();
    }
    void requestFileIsRecognised()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, argument);
        QFETCH(QString, text);
        writeBytes(at(file), bytes);
        QCOMPARE(RequestFile::read(m_files, at(argument)).value_or(QString()), text);
    }

    void windowsCommandLineGivesTheRequestPath_data()
    {
        addColumn<QString>("commandLine");
        addColumn<QString>("argument");
        const QString path = u"C:\\受注 データ\\x Velmo.txt"_s;
        newRow("quoted path") << u"Velmora.exe \""_s + path + u"\""_s << path;
        newRow("unquoted path, blanks after") << u"\"C:\\V\\Velmora.exe\"\t "_s + path + u"  "_s << path;
        newRow("quote inside the program's name") << u"\"C:\\Pro\"gram\\V.exe "_s + path << path;
        newRow("no arguments") << u"Velmora.exe  "_s << QString();
    }
    void windowsCommandLineGivesTheRequestPath()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, argument);
        QCOMPARE(WindowsCommandLine::argumentText(commandLine), argument);
    }

    void internetShortcutsHoldOneAsciiUrl()
    {
        QCOMPARE(InternetShortcut::content(QUrl(u"https://www.google.com/maps?q=東京\n[x]"_s)),
                 QByteArray(
                     "[InternetShortcut]\r\nURL=https://www.google.com/maps?q=%E6%9D%B1%E4%BA%AC%0A[x]\r\n"));
    }

    void answerReplacesOnlyTheRequestAsRead_data()
    {
        addColumn<QByteArray>("meanwhile"); // written to the request file while it is shown; empty: nothing
        addColumn<bool>("written");
        newRow("untouched") << QByteArray() << true;
        newRow("rewritten by the caller") << QByteArray("VelmoraA\t1\t\t\t\t") << false;
    }
    void answerReplacesOnlyTheRequestAsRead()
    {
        QFETCH(QByteArray, meanwhile);
        QFETCH(bool, written);
        const QString path = at(u"@aVelmo.txt"_s);
        writeBytes(path, "VelmoraA\t\t\t\t\t");
        QByteArray readAtStart;
        QVERIFY(RequestFile::read(m_files, path, &readAtStart));
        if (!meanwhile.isEmpty())
            writeBytes(path, meanwhile);
        QCOMPARE(RequestFile::writeAnswer(m_files, path, readAtStart, u"VelmoraA\t\t\t\t\t0"_s),
                 written ? RequestFile::Outcome::Written : RequestFile::Outcome::FileChanged);
        QCOMPARE(bytesOf(path), written ? QByteArray("VelmoraA\t\t\t\t\t0") : meanwhile);
    }

    void oneInstancePerRequestFile()
    {
        const QString path = at(u"@aVelmo.txt"_s);
        writeBytes(path, "VelmoraA");
        const QString locks = at(u"@locks"_s);
        QVERIFY(QDir().mkdir(locks));
        auto first = std::make_unique<RequestLock>(locks, path);
        QVERIFY(first->isHeld());
        QCOMPARE(RequestLock(locks, at(u"@./aVelmo.txt"_s)).state(), RequestLock::State::HeldElsewhere);
        QCOMPARE(QDir(locks).entryList(QDir::Files).size(), 1); // in the folder given, nowhere else
        // No folder, or one that takes no file, is no other window holding the request.
        QCOMPARE(RequestLock(QString(), path).state(), RequestLock::State::CannotLock);
        QCOMPARE(RequestLock(at(u"@gone/locks"_s), path).state(), RequestLock::State::CannotLock);
        first.reset();
        QVERIFY(RequestLock(locks, path).isHeld());
    }

    void requestTakesOnlyMapServiceUrls_data()
    {
        addColumn<QString>("url");
        addColumn<bool>("taken");
        newRow("map query") << kMap << true;
        newRow("capitals") << "HTTP://127.0.0.1:9/MAPS?q=1" << true;
        newRow("other site") << "http://example.invalid/maps?q=1" << false;
        newRow("script carrying the base") << "javascript:alert(1)//http://127.0.0.1:9/maps" << false;
        newRow("local file carrying the base") << "file:///etc/passwd?http://127.0.0.1:9/maps" << false;
        newRow("other site carrying the base") << "http://x.invalid/?http://127.0.0.1:9/maps" << false;
        newRow("dot segments out of /maps") << "http://127.0.0.1:9/maps/../../search?q=x" << false;
        newRow("encoded dot segments") << "http://127.0.0.1:9/maps/%2E%2e/search" << false;
        newRow("a doubled slash") << "http://127.0.0.1:9//maps?q=x" << false;
        newRow("user info") << "http://x@127.0.0.1:9/maps?q=1" << false;
    }
    void requestTakesOnlyMapServiceUrls()
    {
        QFETCH(QString, url);
        QFETCH(bool, taken);
        const AddressRecord record = RequestFile(u"VelmoraA\t1\t2\t3\t"_s + url + u'\t').initialRecord();
        QCOMPARE((QStringList{record.postalCode, record.address, record.company, record.mapUrl}),
                 (QStringList{"1", "2", "3", taken ? url : QString()}));
    }

    void answerCarriesTheChangeFlag_data()
    {
        addColumn<QString>("request");
        addColumn<QString>("edited"); // empty: the record as the request gave it
        addColumn<QString>("answer");
        const QString full = u"VelmoraA|100-0001|住所|会社|$|$|extra"_s;
        newRow("unchanged, extra fields dropped") << full << QString() << u"#|100-0001|住所|会社|$|0"_s;
        newRow("code and address do not count")
            << full << u"104-0061|銀座|会社|$"_s << u"#|104-0061|銀座|会社|$|0"_s;
        newRow("company changed") << full << u"100-0001|住所|会社 |$"_s << u"#|100-0001|住所|会社 |$|1"_s;
        newRow("map URL changed") << full << u"100-0001|住所|会社|"_s << u"#|100-0001|住所|会社||1"_s;
        newRow("few fields, served empty") << "VelmoraA|100-0001" << QString() << "#|100-0001||||0";
        newRow("line break belongs to field 6") << "VelmoraA|||||\r\n" << QString() << "#|||||1";
        newRow("field 6 against a refused field 5")
            << "VelmoraA||||http://x.invalid/|http://x.invalid/" << QString() << "#|||||1";
    }
    void answerCarriesTheChangeFlag()
    {
        QFETCH(QString, request);
        QFETCH(QString, edited);
        QFETCH(QString, answer);
        const RequestFile file(expand(request));
        const QStringList f = expand(edited).split(u'\t');
        const AddressRecord record =
            edited.isEmpty() ? file.initialRecord() : AddressRecord{f[0], f[1], f[2], f[3]};
        QCOMPARE(file.answerFor(record), expand(answer));
    }

    void searchQueries_data()
    {
        addColumn<QString>("text");
        addColumn<QString>("value");
        newRow("postal mark") << "〒100-0001" << u"%E3%80%92100-0001"_s;
        newRow("spaces collapse in pairs") << " 東  京   都    x" << u"+%E6%9D%B1+%E4%BA%AC++%E9%83%BD++x"_s;
        newRow("ASCII kept") << "?@AZ[`az{*-._09" << u"%3F@AZ%5B%60az%7B*-._09"_s;
        newRow("ASCII encoded") << u"&+/~!'()\t\x01"_s << u"%26%2B%2F%7E%21%27%28%29%09%01"_s;
        newRow("range edges") << u"\x7F\u0080\u07FF\u0800\uFFFF"_s << u"%7F%C2%80%DF%BF%E0%A0%80%EF%BF%BF"_s;
        newRow("lone high half before a pair") << QChar(0xD842) + u"𠮷"_s << u"%EF%BF%BD%F0%A0%AE%B7"_s;
        newRow("lone low halves") << QString(3, QChar(0xDC00)) << u"%EF%BF%BD"_s.repeated(3);
        newRow("last low half, lone and in a pair")
            << QString(QChar(0xDFFF)) + QChar(0xDBFF) + QChar(0xDFFF) << u"%EF%BF%BD%F4%8F%BF%BF"_s;
    }
    void searchQueries()
    {
        QFETCH(QString, text);
        QFETCH(QString, value);
        QCOMPARE(MapQuery::forSearch(text), kPrefix + value + kTail);
    }

    void mapPositions_data()
    {
        addColumn<QString>("copied");
        addColumn<QString>("value"); // null: not a position
        newRow("as the map shows it") << "(35.681382, 139.766084)" << u"35.681382,+139.766084"_s;
        newRow("several spaces") << "35.6   139.7" << u"35.6+139.7"_s;
        newRow("brackets anywhere, only numbers") << "(35.6) (139.7x)" << u"35.6+139.7"_s;
        newRow("tabs and line breaks stay out") << "(35.1, 139.1\t0\tX\r\n)" << u"35.1,+139.1"_s;
        newRow("negative, outer blanks") << "  (-33.86, -151.2)  " << u"-33.86,+-151.2"_s;
        newRow("ideographic space trimmed") << "35.6 139.7\u3000" << u"35.6+139.7"_s;
        newRow("only an ideographic space between") << "35.6\u3000139.7" << QString();
        newRow("equator") << "(0, 139.7)" << QString();
        newRow("prime meridian") << "(35.6, 0.0)" << QString();
        newRow("longitude not a number") << "12 abc" << QString();
        newRow("the edges") << "(-90, 180)" << u"-90,+180"_s;
        newRow("latitude beyond the pole") << "(90.5, 139.7)" << QString();
        newRow("twenty digits") << "(35.6, 12345678901234567890)" << QString();
        newRow("an exponent is not cut off") << "(1e308, 1)" << QString();
    }
    void mapPositions()
    {
        QFETCH(QString, copied);
        QFETCH(QString, value);
        QCOMPARE(MapPosition::mapUrlFor(copied).value_or(QString()),
                 value.isNull() ? value : kPrefix + value + kTail);
    }

    void leadingNumber_data()
    {
        addColumn<QString>("text");
        addColumn<double>("value");
        newRow("comma after") << "35.681382," << 35.681382;
        newRow("sign, text after") << "-12.5x" << -12.5;
        newRow("exponent") << "1.5E3" << 1500.0;
        newRow("exponent without digits") << "12e+x" << 12.0;
        newRow("blanks inside") << " 1 2\t3\n4" << 1234.0;
        newRow("blanks after sign and in exponent") << "- 5 e 1" << -50.0;
        newRow("carriage return stops") << "1\r2" << 1.0;
        newRow("hexadecimal") << "&hFf" << 255.0;
        newRow("octal stops at 8") << "&O178" << 15.0;
        newRow("full-width digits") << "１２" << 0.0;
        newRow("overflow") << "1e999" << 0.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(readLeadingNumber(text), value);
    }

    void helpOpensThroughItsShortcut_data()
    {
        addColumn<QString>("page");
        addColumn<QString>("environment"); // VELMORA_HELP_BASE, unset when empty
        addColumn<QString>("target");
        newRow("lower case, .htm added") << "Velmora" << QString() << u"file:///help/velmora.htm"_s;
        newRow("a dot anywhere, VELMORA_HELP_BASE")
            << "v1.2/Start" << u"http://127.0.0.1:1/d"_s << u"http://127.0.0.1:1/d/v1.2/start"_s;
    }
    void helpOpensThroughItsShortcut()
    {
        QFETCH(QString, page);
        QFETCH(QString, environment);
        QFETCH(QString, target);
        SystemShortcutWriter shortcuts(m_files);
        FakeShellLauncher launcher;
        if (!environment.isEmpty())
            qputenv("VELMORA_HELP_BASE", environment.toUtf8());
        // The shortcut is named after the program a development build stands for.
        const ShellActions shell({&launcher, &shortcuts}, ProgramIdentity(u"/opt/velmora/my.tool_DV.exe"_s),
                                 at(u"@"_s), u"file:///help"_s);
        qunsetenv("VELMORA_HELP_BASE");
        const bool opened = shell.openHelp(page);
        QVERIFY(opened);
        QCOMPARE(launcher.calls.size(), 1);
        const QString path = launcher.calls[0].shortcut;
        QCOMPARE(path, at(u"@my.tool_help"_s) + shortcuts.fileSuffix(target));
        QCOMPARE(launcher.calls[0].target, target);
        // A shell link holds its target in a binary form of its own; the other kinds hold it as a URL.
        const QByteArray content = bytesOf(path);
        QVERIFY(path.endsWith(u".lnk"_s) ? !content.isEmpty() : content.contains("URL=" + target.toUtf8()));
    }
};

QTEST_GUILESS_MAIN(tst_Core)
#include "tst_core.moc"
