// The settings file through yIni's public operations: exact format, round trips, damage, saving.
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

QByteArray footer()
{
    return "</" + kRoot + ">";
}

QByteArray positionGroup(int top, int left, int width, int height)
{
    return "   <" + kPosition + ">\r\n" + "      <TOP>" + QByteArray::number(top) + "</TOP>\r\n" +
           "      <LEFT>" + QByteArray::number(left) + "</LEFT>\r\n" + "      <WIDTH>" +
           QByteArray::number(width) + "</WIDTH>\r\n" + "      <HEIGHT>" + QByteArray::number(height) +
           "</HEIGHT>\r\n" + "   </" + kPosition + ">\r\n";
}

// What the main window does when it closes.
void savePosition(yIni &ini, float top, float left, float width, float height)
{
    ini.GetGtx(u"位置"_s);
    ini.SetVal(u"TOP"_s, top);
    ini.SetVal(u"LEFT"_s, left);
    ini.SetVal(u"WIDTH"_s, width);
    ini.SetVal(u"HEIGHT"_s, height);
    ini.SetGtx();
}

QString damageMessage(const QString &name, const QString &path)
{
    return u"<"_s + name + u"> の設定が読み込めません\rﾕｰｻﾞｰ環境ﾌｧｲﾙ("_s + path + u") が破損しています"_s;
}

} // namespace

class tst_SettingsFile : public QObject {
    Q_OBJECT

private:
    yIniServices services() { return {&m_msg, nullptr, nullptr, nullptr, QString(), QString()}; }
    QString path(const QString &name) const { return m_dir->filePath(name); }

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
        const QString file = path(u"User.xml"_s);
        {
            yIni ini(services());
            QVERIFY(ini.GetTxt(file));
            // The file is created empty at once; the skeleton lives in memory only.
            QCOMPARE(readBytes(file), QByteArray());
            QCOMPARE(ini.docText(), u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n</運用>"_s);
            ini.GetGtx(kGroup);
            QCOMPARE(ini.groupText(), QString());
            for (const auto &key : {u"TOP"_s, u"LEFT"_s, u"WIDTH"_s, u"HEIGHT"_s}) {
                const QVariant value = ini.vGtVal(key, QVariant::fromValue<qint16>(0));
                QCOMPARE(value.typeId(), int(QMetaType::Short));
                QCOMPARE(value.value<qint16>(), qint16(0));
            }
            savePosition(ini, 720, 960, 9600, 7200);
            QVERIFY(ini.SetTxt());
        }
        const QByteArray expected = header() + positionGroup(720, 960, 9600, 7200) + footer();
        QCOMPARE(readBytes(file), expected);

        // Next start: the values come back as doubles; the next close changes only the digits.
        yIni ini(services());
        QVERIFY(ini.GetTxt(file));
        ini.GetGtx(kGroup);
        QCOMPARE(ini.groupText(),
                 u"      <TOP>720</TOP>\r\n      <LEFT>960</LEFT>\r\n      <WIDTH>9600</WIDTH>\r\n"
                 u"      <HEIGHT>7200</HEIGHT>\r\n"_s);
        const QVariant top = ini.vGtVal(u"TOP"_s, QVariant::fromValue<qint16>(0));
        QCOMPARE(top.typeId(), int(QMetaType::Double));
        QCOMPARE(top.toDouble(), 720.0);
        savePosition(ini, 800, 960, 9600, 7200);
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file), header() + positionGroup(800, 960, 9600, 7200) + footer());
        QVERIFY(m_msg.texts().isEmpty());
    }

    void roundTripKeepsOtherGroupsAndUnknownKeys()
    {
        const QString file = path(u"User.xml"_s);
        const QByteArray before =
            "   <Front>\r\n      <X>a &amp; <b></X>\r\n      <Y>  spaced  </Y>\r\n   </Front>\r\n";
        const QByteArray position =
            "   <" + kPosition + ">\r\n      <TOP>1</TOP>\r\n      <EXTRA>keep me</EXTRA>\r\n" +
            "      <LEFT>2</LEFT>\r\n      <WIDTH>3</WIDTH>\r\n      <HEIGHT>4</HEIGHT>\r\n   </" +
            kPosition + ">\r\n";
        const QByteArray after =
            "   <Back>\r\n      <Z>" + kRoot + "</Z>\r\n   </Back>\r\n   <Empty>\r\n   </Empty>\r\n";
        writeBytes(file, header() + before + position + after + footer());

        yIni ini(services());
        QVERIFY(ini.GetTxt(file));
        ini.GetGtx(kGroup);
        QCOMPARE(ini.vGtVal(u"WIDTH"_s, QVariant::fromValue<qint16>(0)).toDouble(), 3.0);
        savePosition(ini, 10, 20, 30.5f, 40);
        QVERIFY(ini.SetTxt());

        QByteArray expectedPosition = position;
        expectedPosition.replace("<TOP>1<", "<TOP>10<")
            .replace("<LEFT>2<", "<LEFT>20<")
            .replace("<WIDTH>3<", "<WIDTH>30.5<")
            .replace("<HEIGHT>4<", "<HEIGHT>40<");
        QCOMPARE(readBytes(file), header() + before + expectedPosition + after + footer());

        // The other groups read as they were, spaces, markup and empty group included.
        yIni again(services());
        QVERIFY(again.GetTxt(file));
        again.GetGtx(u"Front"_s);
        QCOMPARE(again.vGtVal(u"X"_s, u"d"_s).toString(), u"a &amp; <b>"_s);
        QCOMPARE(again.vGtVal(u"Y"_s, u"d"_s).toString(), u"  spaced  "_s);
        again.GetGtx(u"Empty"_s);
        QCOMPARE(again.groupText(), QString());
        again.GetGtx(u"Back"_s);
        QCOMPARE(again.vGtVal(u"Z"_s, u"d"_s).toString(), u"運用"_s);
        QVERIFY(m_msg.texts().isEmpty());
    }

    void newGroupGoesLastAndGroupEditsNeedSetGtx()
    {
        const QString file = path(u"User.xml"_s);
        writeBytes(file, header() + positionGroup(1, 2, 3, 4) + footer());
        yIni ini(services());
        QVERIFY(ini.GetTxt(file));
        ini.GetGtx(u"New"_s);
        ini.SetVal(u"K"_s, 5);
        QVERIFY(ini.SetTxt()); // without SetGtx the edit is not in the document
        QCOMPARE(readBytes(file), header() + positionGroup(1, 2, 3, 4) + footer());
        ini.SetGtx();
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file), header() + positionGroup(1, 2, 3, 4) +
                                      "   <New>\r\n      <K>5</K>\r\n   </New>\r\n" + footer());
        // GetGtx discards edits that were not put back.
        ini.GetGtx(u"New"_s);
        ini.SetVal(u"K"_s, 6);
        ini.GetGtx(u"New"_s);
        QCOMPARE(ini.vGtVal(u"K"_s, 0).toDouble(), 5.0);
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
        const QString file = path(u"User.xml"_s);
        writeBytes(file, content);
        yIni ini(services());
        QVERIFY(ini.GetTxt(file));
        QCOMPARE(ini.docText(), yIni::Skeleton());
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file), header() + footer());
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
        writeBytes(path(u"User.xml"_s), header() + positionGroup(1, 2, 3, 4) + footer());
        yIni ini(services());
        QVERIFY(ini.GetTxt(path(given)));
        QCOMPARE(ini.filePath(), path(used));
        if (used == u"User.xml"_s) {
            ini.GetGtx(kGroup);
            QCOMPARE(ini.vGtVal(u"HEIGHT"_s, 0).toDouble(), 4.0);
            QVERIFY(!QFile::exists(path(given)) || given == used);
        }
    }

    void unboundInstanceWritesNothing()
    {
        yIni ini(services());
        QVERIFY(!ini.SetTxt());

        // The shared instance after release is a fresh, unbound one.
        yIni::Install(services());
        const QString file = path(u"User.xml"_s);
        QVERIFY(yIni::Shared().GetTxt(file));
        yIni::ReleaseShared();
        savePosition(yIni::Shared(), 1, 2, 3, 4);
        QVERIFY(yIni::Shared().filePath().isEmpty());
        QVERIFY(!yIni::Shared().SetTxt());
        QCOMPARE(readBytes(file), QByteArray());
        yIni::ReleaseShared();
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{u"User.xml"_s});
    }

    void missingFolderFailsQuietly()
    {
        yIni ini(services());
        const QString file = path(u"nowhere/User.xml"_s);
        QVERIFY(!ini.GetTxt(file));
        QCOMPARE(ini.docText(), QString());
        QCOMPARE(ini.filePath(), file);
        // The group operations still make a well-formed document.
        savePosition(ini, 1, 2, 3, 4);
        QCOMPARE(ini.docText().toUtf8(),
                 header().replace(kRoot, u"運用"_s.toUtf8()) +
                     positionGroup(1, 2, 3, 4).replace(kPosition, u"位置"_s.toUtf8()) +
                     u"</運用>"_s.toUtf8());
        QVERIFY(!ini.SetTxt());
        QVERIFY(m_msg.texts().isEmpty());
    }

    void damagedElementsReadAsDefaultWithOneMessage_data()
    {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<QString>("damaged");
        QTest::addColumn<QString>("key");
        const QByteArray open = "   <" + kPosition + ">\r\n";
        const QByteArray close = "   </" + kPosition + ">\r\n";
        QTest::newRow("group closing tag missing") << open + "      <TOP>1</TOP>\r\n" << kGroup << u"TOP"_s;
        QTest::newRow("group opening tag missing") << "      <TOP>1</TOP>\r\n" + close << kGroup << u"TOP"_s;
        QTest::newRow("group closing tag first")
            << close + "      <TOP>1</TOP>\r\n" + open << kGroup << u"TOP"_s;
        QTest::newRow("key closing tag missing") << open + "      <TOP>1\r\n" + close << u"TOP"_s << u"TOP"_s;
        QTest::newRow("key opening tag missing")
            << open + "      1</TOP>\r\n" + close << u"TOP"_s << u"TOP"_s;
        QTest::newRow("key closing tag first")
            << open + "      </TOP>1<TOP>\r\n" + close << u"TOP"_s << u"TOP"_s;
    }
    void damagedElementsReadAsDefaultWithOneMessage()
    {
        QFETCH(QByteArray, group);
        QFETCH(QString, damaged);
        QFETCH(QString, key);
        const QString file = path(u"User.xml"_s);
        writeBytes(file, header() + group + footer());
        yIni ini(services());
        QVERIFY(ini.GetTxt(file));
        const bool groupDamaged = damaged == kGroup;

        ini.GetGtx(kGroup);
        QCOMPARE(m_msg.texts().size(), groupDamaged ? 1 : 0);
        const QVariant value = ini.vGtVal(key, QVariant::fromValue<qint16>(7));
        QCOMPARE(value.typeId(), int(QMetaType::Short));
        QCOMPARE(value.value<qint16>(), qint16(7));
        QCOMPARE(m_msg.texts().size(), 1);
        QCOMPARE(m_msg.texts().constFirst(), damageMessage(damaged, file));
        // Once per read.
        ini.vGtVal(key, 0);
        QCOMPARE(m_msg.texts().size(), groupDamaged ? 1 : 2);
        // A missing element is no damage.
        ini.vGtVal(u"ABSENT"_s, 0);
        ini.GetGtx(u"Absent"_s);
        QCOMPARE(m_msg.texts().size(), groupDamaged ? 1 : 2);
    }

    void damagedElementsAreWrittenAnew()
    {
        const QString file = path(u"User.xml"_s);
        const QByteArray broken = "   <" + kPosition + ">\r\n      <TOP>1</TOP>\r\n";
        writeBytes(file, header() + broken + footer());
        yIni ini(services());
        QVERIFY(ini.GetTxt(file));
        ini.GetGtx(kGroup);
        ini.SetVal(u"TOP"_s, 5);
        ini.SetGtx();
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file), header() + broken + "   <" + kPosition +
                                      ">\r\n      <TOP>5</TOP>\r\n   </" + kPosition + ">\r\n" + footer());

        // A key without its closing tag gets a new line at the end of the group.
        writeBytes(file, header() + "   <G>\r\n      <A>1\r\n   </G>\r\n" + footer());
        QVERIFY(ini.GetTxt(file));
        ini.GetGtx(u"G"_s);
        ini.SetVal(u"A"_s, 2);
        ini.SetGtx();
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file),
                 header() + "   <G>\r\n      <A>1\r\n      <A>2</A>\r\n   </G>\r\n" + footer());
    }

    void keyNamedLikeALaterGroupDoesNotHideIt()
    {
        // Group names are searched in the whole document; a key of an earlier group that carries a
        // later group's name must neither be read as that group nor be cut into when it is written.
        const QString file = path(u"User.xml"_s);
        const QByteArray first =
            "   <A>\r\n      <" + kPosition + ">0123456789</" + kPosition + ">\r\n   </A>\r\n";
        writeBytes(file, header() + first + positionGroup(720, 960, 9600, 7200) + footer());
        yIni ini(services());
        QVERIFY(ini.GetTxt(file));
        ini.GetGtx(kGroup);
        QCOMPARE(ini.vGtVal(u"TOP"_s, 0).toDouble(), 720.0);
        savePosition(ini, 800, 960, 9600, 7200);
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file), header() + first + positionGroup(800, 960, 9600, 7200) + footer());
        ini.GetGtx(u"A"_s);
        QCOMPARE(ini.vGtVal(u"位置"_s, u""_s).toString(), u"0123456789"_s);
        QVERIFY(m_msg.texts().isEmpty());
    }

    void tagsCaseAndLayoutOddities()
    {
        const QString file = path(u"User.xml"_s);
        // Letter case of tags matters.
        writeBytes(file, header() + "   <" + kPosition + ">\r\n      <top>5</top>\r\n   </" + kPosition +
                             ">\r\n" + footer());
        yIni ini(services());
        QVERIFY(ini.GetTxt(file));
        ini.GetGtx(kGroup);
        QCOMPARE(ini.vGtVal(u"TOP"_s, QVariant::fromValue<qint16>(0)).typeId(), int(QMetaType::Short));

        // Group tags closer together than the layout allows hold nothing (never a negative cut).
        writeBytes(file, header() + "   <G>\r\n</G>\r\n   <H>\n</H>\r\n" + footer());
        QVERIFY(ini.GetTxt(file));
        ini.GetGtx(u"G"_s);
        QCOMPARE(ini.groupText(), QString());
        ini.GetGtx(u"H"_s);
        QCOMPARE(ini.groupText(), QString());
        ini.SetVal(u"K"_s, 1);
        ini.SetGtx();
        QVERIFY(ini.SetTxt());
        QVERIFY(m_msg.texts().isEmpty());

        // LF line ends and other indentation read and write without harm.
        const QByteArray lf = "<?xml version='1.0' encoding='Shift-JIS' ?>\n<" + kRoot + ">\n <" + kPosition +
                              ">\n  <TOP>720</TOP>\n  <LEFT>960</LEFT>\n </" + kPosition + ">\n</" + kRoot +
                              ">\n";
        writeBytes(file, lf);
        QVERIFY(ini.GetTxt(file));
        ini.GetGtx(kGroup);
        QCOMPARE(ini.vGtVal(u"TOP"_s, 0).toDouble(), 720.0);
        QCOMPARE(ini.vGtVal(u"LEFT"_s, 0).toDouble(), 960.0);
        ini.SetVal(u"TOP"_s, 1);
        ini.SetGtx();
        QVERIFY(ini.SetTxt());
        QVERIFY(ini.GetTxt(file));
        ini.GetGtx(kGroup);
        QCOMPARE(ini.vGtVal(u"TOP"_s, 0).toDouble(), 1.0);
        QCOMPARE(ini.vGtVal(u"LEFT"_s, 0).toDouble(), 960.0);

        // A text without the root's closing tag still takes a new group, and reads it back.
        writeBytes(file, "<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<" + kRoot + ">\r\n");
        QVERIFY(ini.GetTxt(file));
        ini.GetGtx(u"G"_s);
        ini.SetVal(u"K"_s, 3);
        ini.SetGtx();
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file), header() + "   <G>\r\n      <K>3</K>\r\n   </G>\r\n" + footer());
        QVERIFY(m_msg.texts().isEmpty());
    }

    void settingsTextBeyond16BitPositions()
    {
        const QString file = path(u"User.xml"_s);
        const QString big(40000, u'x');
        {
            yIni ini(services());
            QVERIFY(ini.GetTxt(file));
            ini.GetGtx(u"Big"_s);
            ini.SetVal(u"DATA"_s, big);
            ini.SetGtx();
            savePosition(ini, 720, 960, 9600, 7200);
            QVERIFY(ini.SetTxt());
        }
        yIni ini(services());
        QVERIFY(ini.GetTxt(file));
        QVERIFY(ini.docText().size() > 40000);
        ini.GetGtx(kGroup);
        QCOMPARE(ini.vGtVal(u"HEIGHT"_s, 0).toDouble(), 7200.0);
        savePosition(ini, 1, 2, 3, 4);
        ini.GetGtx(u"Big"_s);
        QCOMPARE(ini.vGtVal(u"DATA"_s, u""_s).toString(), big);
        ini.SetVal(u"DATA"_s, big + u"y"_s);
        ini.SetGtx();
        QVERIFY(ini.SetTxt());
        QCOMPARE(readBytes(file), header() + "   <Big>\r\n      <DATA>" + big.toLatin1() +
                                      "y</DATA>\r\n   </Big>\r\n" + positionGroup(1, 2, 3, 4) + footer());
        QVERIFY(m_msg.texts().isEmpty());
    }

    void failedSaveKeepsTheOldFile()
    {
        const QString file = path(u"User.xml"_s);
        const QByteArray old = header() + positionGroup(1, 2, 3, 4) + footer();
        writeBytes(file, old);
        yIni ini(services());
        QVERIFY(ini.GetTxt(file));
        savePosition(ini, 5, 6, 7, 8);
        const QString text = ini.docText();

        EnsureFso().setWriteFault([&](const QString &p) { return p == file; });
        QVERIFY(!ini.SetTxt());
        QCOMPARE(readBytes(file), old);
        QCOMPARE(ini.docText(), text);
        EnsureFso().setWriteFault({});

        // A character CP932 cannot store is refused, not written as something else.
        ini.GetGtx(kGroup);
        ini.SetVal(u"NOTE"_s, u"🙂"_s);
        ini.SetGtx();
        QVERIFY(!ini.SetTxt());
        QCOMPARE(readBytes(file), old);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"User.xml"_s});

        // The next sound save goes through.
        ini.GetGtx(kGroup);
        ini.SetVal(u"NOTE"_s, u"ﾒﾓ"_s);
        ini.SetGtx();
        QVERIFY(ini.SetTxt());
        QVERIFY(readBytes(file).contains("<NOTE>\xd2\xd3</NOTE>"));
        QVERIFY(!readBytes(file).endsWith("\n"));
        QVERIFY(!readBytes(file).startsWith("\xef\xbb\xbf"));
    }

    void unreadableFileFailsQuietly()
    {
        const QString file = path(u"User.xml"_s);
        writeBytes(file, "\x81"); // a lead byte without its trail: not CP932
        yIni ini(services());
        QVERIFY(!ini.GetTxt(file));
        QCOMPARE(ini.docText(), QString());
        QVERIFY(m_msg.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_SettingsFile.moc"
