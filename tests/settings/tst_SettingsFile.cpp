// The settings file through yIni's public operations: exact format, round trips, damage, saving.
// How single values are typed and written is in tst_TypedSettings.
#include "app/FileSystem.h"
#include "common/FakeMsgBox.h"
#include "settings/yIni.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray kRoot = "\x89\x5e\x97\x70";     // 運用 in CP932
const QByteArray kPosition = "\x88\xca\x92\x75"; // 位置 in CP932
const QString kGroup = u"位置"_s;
const QVariant kShortSeven = QVariant::fromValue<qint16>(7);

// The caller's 16-bit default, in its own type: a QVariant comparison would let a double pass.
bool isShortSeven(const QVariant &v)
{
    return v.typeId() == QMetaType::Short && v.value<qint16>() == 7;
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray header()
{
    return "<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<" + kRoot + ">\r\n";
}

// A whole file in the writer's layout around the given groups.
QByteArray doc(const QByteArray &groups)
{
    return header() + groups + "</" + kRoot + ">";
}

QByteArray group(const QByteArray &name, const QByteArray &lines)
{
    return "   <" + name + ">\r\n" + lines + "   </" + name + ">\r\n";
}

QByteArray positionGroup(int top, int left, int width, int height)
{
    QByteArray lines;
    for (const auto &[key, value] : {std::pair{"TOP", top}, std::pair{"LEFT", left},
                                     std::pair{"WIDTH", width}, std::pair{"HEIGHT", height}})
        lines += "      <" + QByteArray(key) + ">" + QByteArray::number(value) + "</" + key + ">\r\n";
    return group(kPosition, lines);
}

// What the main window does when it closes.
void savePosition(yIni &ini, float top, float left, float width, float height)
{
    ini.GetGtx(kGroup);
    ini.SetVal(u"TOP"_s, top);
    ini.SetVal(u"LEFT"_s, left);
    ini.SetVal(u"WIDTH"_s, width);
    ini.SetVal(u"HEIGHT"_s, height);
    ini.SetGtx();
}

void put(yIni &ini, const QString &groupName, const QString &key, const QVariant &value)
{
    ini.GetGtx(groupName);
    ini.SetVal(key, value);
    ini.SetGtx();
}

double number(yIni &ini, const QString &groupName, const QString &key)
{
    ini.GetGtx(groupName);
    return ini.vGtVal(key, 0).toDouble();
}

} // namespace

class tst_SettingsFile : public QObject {
    Q_OBJECT

private:
    yIniServices services() { return {&m_msg, nullptr, nullptr, nullptr, QString(), QString()}; }
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString file() const { return path(u"User.xml"_s); }
    // Writes the settings file and reads it.
    bool read(yIni &ini, const QByteArray &content)
    {
        writeBytes(file(), content);
        return ini.GetTxt(file());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeMsgBox m_msg;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_msg.clear();
        EnsureFso().setWriteFault({});
    }
    void cleanup() { EnsureFso().setWriteFault({}); }

    void workedExampleByteForByte()
    {
        {
            yIni ini(services());
            QVERIFY(ini.GetTxt(file()));
            // The file is created empty at once; the skeleton lives in memory only.
            QCOMPARE(readBytes(file()), QByteArray());
            ini.GetGtx(kGroup);
            QVERIFY(isShortSeven(ini.vGtVal(u"TOP"_s, kShortSeven)));
            savePosition(ini, 720, 960, 9600, 7200);
            QVERIFY(ini.SetTxt());
        }
        QCOMPARE(readBytes(file()), doc(positionGroup(720, 960, 9600, 7200)));

        // Next start: the values come back; the next close changes only the digits.
        yIni ini(services());
        QVERIFY(ini.GetTxt(file()));
        QCOMPARE(number(ini, kGroup, u"TOP"_s), 720.0);
        QCOMPARE(number(ini, kGroup, u"HEIGHT"_s), 7200.0);
        savePosition(ini, 800, 960, 9600, 7200);
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file()), doc(positionGroup(800, 960, 9600, 7200)));
        QVERIFY(m_msg.texts().isEmpty());
    }

    void roundTripKeepsOtherGroupsAndUnknownKeys()
    {
        const QByteArray before = group("Front", "      <X>a &amp; <b></X>\r\n      <Y>  spaced  </Y>\r\n");
        const QByteArray position = group(kPosition, "      <TOP>1</TOP>\r\n      <EXTRA>keep me</EXTRA>\r\n"
                                                     "      <LEFT>2</LEFT>\r\n      <WIDTH>3</WIDTH>\r\n"
                                                     "      <HEIGHT>4</HEIGHT>\r\n");
        const QByteArray after = group("Back", "      <Z>" + kRoot + "</Z>\r\n") + group("Empty", "");
        yIni ini(services());
        QVERIFY(read(ini, doc(before + position + after)));
        QCOMPARE(number(ini, kGroup, u"WIDTH"_s), 3.0);
        savePosition(ini, 10, 20, 30.5f, 40);
        QVERIFY(ini.SetTxt());
        QByteArray saved = position;
        saved.replace("<TOP>1<", "<TOP>10<")
            .replace("<LEFT>2<", "<LEFT>20<")
            .replace("<WIDTH>3<", "<WIDTH>30.5<")
            .replace("<HEIGHT>4<", "<HEIGHT>40<");
        QCOMPARE(readBytes(file()), doc(before + saved + after));

        // The other groups read as they were, spaces, markup and empty group included.
        yIni again(services());
        QVERIFY(again.GetTxt(file()));
        again.GetGtx(u"Front"_s);
        QCOMPARE(again.vGtVal(u"X"_s, u"d"_s).toString(), u"a &amp; <b>"_s);
        QCOMPARE(again.vGtVal(u"Y"_s, u"d"_s).toString(), u"  spaced  "_s);
        again.GetGtx(u"Empty"_s);
        QCOMPARE(again.groupText(), QString());
        again.GetGtx(u"Back"_s);
        QCOMPARE(again.vGtVal(u"Z"_s, u"d"_s).toString(), u"運用"_s);

        // A new group goes last; an edit reaches the document only through SetGtx, and GetGtx
        // drops an edit that was not put back.
        again.GetGtx(u"New"_s);
        again.SetVal(u"K"_s, 5);
        QVERIFY(again.SetTxt());
        QCOMPARE(readBytes(file()), doc(before + saved + after));
        again.SetGtx();
        QVERIFY(again.SetTxt());
        QCOMPARE(readBytes(file()), doc(before + saved + after + group("New", "      <K>5</K>\r\n")));
        again.GetGtx(u"New"_s);
        again.SetVal(u"K"_s, 6);
        QCOMPARE(number(again, u"New"_s, u"K"_s), 5.0);
        QVERIFY(m_msg.texts().isEmpty());
    }

    void emptyFilesReadAsSkeleton_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("first line empty, CR LF") << QByteArray("\r\n<x>");
        QTest::newRow("first line empty, LF") << QByteArray("\nanything");
    }
    void emptyFilesReadAsSkeleton()
    {
        QFETCH(QByteArray, content);
        yIni ini(services());
        QVERIFY(read(ini, content));
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file()), doc(""));
    }

    void developmentNameUsesTheSameSettings_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("used");
        QTest::newRow("_DV.xml") << u"User_DV.xml"_s << u"User.xml"_s;
        QTest::newRow("_dv.XML") << u"User_dv.XML"_s << u"User.xml"_s;
        QTest::newRow("_Dv.xMl") << u"User_Dv.xMl"_s << u"User.xml"_s;
        QTest::newRow("plain") << u"User.xml"_s << u"User.xml"_s;
        QTest::newRow("other") << u"User_DV.txt"_s << u"User_DV.txt"_s;
    }
    void developmentNameUsesTheSameSettings()
    {
        QFETCH(QString, given);
        QFETCH(QString, used);
        writeBytes(file(), doc(positionGroup(1, 2, 3, 4)));
        yIni ini(services());
        QVERIFY(ini.GetTxt(path(given)));
        QCOMPARE(ini.filePath(), path(used));
        QCOMPARE(number(ini, kGroup, u"HEIGHT"_s), used == u"User.xml"_s ? 4.0 : 0.0);
        QCOMPARE(QFile::exists(path(given)), given == used);
    }

    void unboundOrUnreadableFilesAreNeverWritten()
    {
        yIni unbound(services());
        QVERIFY(!unbound.SetTxt());

        // The shared instance after release is a fresh, unbound one.
        yIni::Install(services());
        QVERIFY(yIni::Shared().GetTxt(file()));
        yIni::ReleaseShared();
        savePosition(yIni::Shared(), 1, 2, 3, 4);
        QVERIFY(!yIni::Shared().SetTxt());
        yIni::ReleaseShared();
        QCOMPARE(readBytes(file()), QByteArray());

        yIni missing(services());
        QVERIFY(!missing.GetTxt(path(u"nowhere/User.xml"_s)));
        savePosition(missing, 1, 2, 3, 4);
        QVERIFY(!missing.SetTxt());

        // A lead byte without its trail is not CP932.
        yIni unreadable(services());
        QVERIFY(!read(unreadable, "\x81"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{u"User.xml"_s});
        QVERIFY(m_msg.texts().isEmpty());
    }

    void damagedElementsReadAsDefaultWithOneMessage_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("damaged");
        const QByteArray open = "   <" + kPosition + ">\r\n";
        const QByteArray close = "   </" + kPosition + ">\r\n";
        QTest::newRow("group closing tag missing") << open + "      <TOP>1</TOP>\r\n" << kGroup;
        QTest::newRow("group opening tag missing") << "      <TOP>1</TOP>\r\n" + close << kGroup;
        QTest::newRow("group closing tag first") << close + "      <TOP>1</TOP>\r\n" + open << kGroup;
        QTest::newRow("key closing tag missing") << open + "      <TOP>1\r\n" + close << u"TOP"_s;
        QTest::newRow("key opening tag missing") << open + "      1</TOP>\r\n" + close << u"TOP"_s;
        QTest::newRow("key closing tag first") << open + "      </TOP>1<TOP>\r\n" + close << u"TOP"_s;
    }
    void damagedElementsReadAsDefaultWithOneMessage()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, damaged);
        yIni ini(services());
        QVERIFY(read(ini, doc(content)));
        const int perGroupRead = damaged == kGroup ? 1 : 0;

        ini.GetGtx(kGroup);
        QCOMPARE(m_msg.texts().size(), perGroupRead);
        QVERIFY(isShortSeven(ini.vGtVal(u"TOP"_s, kShortSeven)));
        QCOMPARE(m_msg.texts(), QStringList{u"<"_s + damaged + u"> の設定が読み込めません\rﾕｰｻﾞｰ環境ﾌｧｲﾙ("_s +
                                            file() + u") が破損しています"_s});
        // Once per read; a missing element is no damage.
        ini.vGtVal(u"TOP"_s, 0);
        ini.vGtVal(u"ABSENT"_s, 0);
        ini.GetGtx(u"Absent"_s);
        QCOMPARE(m_msg.texts().size(), 2 - perGroupRead);
    }

    void damagedElementsAreWrittenAnew()
    {
        const QByteArray broken = "   <" + kPosition + ">\r\n      <TOP>1</TOP>\r\n";
        yIni ini(services());
        QVERIFY(read(ini, doc(broken)));
        put(ini, kGroup, u"TOP"_s, 5);
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file()), doc(broken + group(kPosition, "      <TOP>5</TOP>\r\n")));

        // A key without its closing tag gets a new line at the end of the group.
        QVERIFY(read(ini, doc(group("G", "      <A>1\r\n"))));
        put(ini, u"G"_s, u"A"_s, 2);
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file()), doc(group("G", "      <A>1\r\n      <A>2</A>\r\n")));
    }

    void keyNamedLikeALaterGroupDoesNotHideIt()
    {
        // Group names are searched in the whole document; a key of an earlier group that carries a
        // later group's name must neither be read as that group nor be cut into when it is written.
        const QByteArray first = group("A", "      <" + kPosition + ">0123456789</" + kPosition + ">\r\n");
        yIni ini(services());
        QVERIFY(read(ini, doc(first + positionGroup(720, 960, 9600, 7200))));
        QCOMPARE(number(ini, kGroup, u"TOP"_s), 720.0);
        savePosition(ini, 800, 960, 9600, 7200);
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file()), doc(first + positionGroup(800, 960, 9600, 7200)));
        ini.GetGtx(u"A"_s);
        QCOMPARE(ini.vGtVal(kGroup, u""_s).toString(), u"0123456789"_s);
        QVERIFY(m_msg.texts().isEmpty());
    }

    void tagsCaseAndLayoutOddities()
    {
        yIni ini(services());
        // Letter case of tags matters.
        QVERIFY(read(ini, doc(group(kPosition, "      <top>5</top>\r\n"))));
        ini.GetGtx(kGroup);
        QVERIFY(isShortSeven(ini.vGtVal(u"TOP"_s, kShortSeven)));

        // Group tags closer together than the layout allows hold nothing (never a negative cut).
        QVERIFY(read(ini, doc("   <G>\r\n</G>\r\n   <H>\n</H>\r\n")));
        ini.GetGtx(u"G"_s);
        QCOMPARE(ini.groupText(), QString());
        ini.GetGtx(u"H"_s);
        QCOMPARE(ini.groupText(), QString());
        ini.SetVal(u"K"_s, 1);
        ini.SetGtx();
        QVERIFY(ini.SetTxt());

        // LF line ends and other indentation read and write without harm.
        QVERIFY(read(ini, "<?xml version='1.0' encoding='Shift-JIS' ?>\n<" + kRoot + ">\n <" + kPosition +
                              ">\n  <TOP>720</TOP>\n  <LEFT>960</LEFT>\n </" + kPosition + ">\n</" + kRoot +
                              ">\n"));
        QCOMPARE(number(ini, kGroup, u"TOP"_s), 720.0);
        put(ini, kGroup, u"TOP"_s, 1);
        QVERIFY(ini.SetTxt());
        QVERIFY(ini.GetTxt(file()));
        QCOMPARE(number(ini, kGroup, u"TOP"_s), 1.0);
        QCOMPARE(number(ini, kGroup, u"LEFT"_s), 960.0);

        // A text without the root's closing tag still takes a new group.
        QVERIFY(read(ini, header()));
        put(ini, u"G"_s, u"K"_s, 3);
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file()), doc(group("G", "      <K>3</K>\r\n")));
        QVERIFY(m_msg.texts().isEmpty());
    }

    void settingsTextBeyond16BitPositions()
    {
        const QString big(40000, u'x');
        {
            yIni ini(services());
            QVERIFY(ini.GetTxt(file()));
            put(ini, u"Big"_s, u"DATA"_s, big);
            savePosition(ini, 720, 960, 9600, 7200);
            QVERIFY(ini.SetTxt());
        }
        yIni ini(services());
        QVERIFY(ini.GetTxt(file()));
        QCOMPARE(number(ini, kGroup, u"HEIGHT"_s), 7200.0);
        savePosition(ini, 1, 2, 3, 4);
        ini.GetGtx(u"Big"_s);
        QCOMPARE(ini.vGtVal(u"DATA"_s, u""_s).toString(), big);
        put(ini, u"Big"_s, u"DATA"_s, big + u"y"_s);
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file()), doc(group("Big", "      <DATA>" + big.toLatin1() + "y</DATA>\r\n") +
                                        positionGroup(1, 2, 3, 4)));
        QVERIFY(m_msg.texts().isEmpty());
    }

    void failedSaveKeepsTheOldFile()
    {
        const QByteArray old = doc(positionGroup(1, 2, 3, 4));
        yIni ini(services());
        QVERIFY(read(ini, old));
        savePosition(ini, 5, 6, 7, 8);
        const QString text = ini.docText();

        EnsureFso().setWriteFault([&](const QString &p) { return p == file(); });
        QVERIFY(!ini.SetTxt());
        QCOMPARE(readBytes(file()), old);
        QCOMPARE(ini.docText(), text);
        EnsureFso().setWriteFault({});

        // A character CP932 cannot store is refused, not written as something else.
        put(ini, kGroup, u"NOTE"_s, u"🙂"_s);
        QVERIFY(!ini.SetTxt());
        QCOMPARE(readBytes(file()), old);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"User.xml"_s});

        // The next sound save goes through.
        put(ini, kGroup, u"NOTE"_s, u"ﾒﾓ"_s);
        QVERIFY(ini.SetTxt());
        const QByteArray saved = readBytes(file());
        QVERIFY(saved.contains("<NOTE>\xd2\xd3</NOTE>"));
        QVERIFY(saved.startsWith(header()));
        QVERIFY(saved.endsWith("</" + kRoot + ">"));
    }
};

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_SettingsFile.moc"
