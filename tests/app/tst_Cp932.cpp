#include "app/Cp932.h"
#include "app/FileSystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <iconv.h>

namespace {
// The reference: the system's own CP932 table, asked one character at a time.
std::optional<QByteArray> referenceEncode(char32_t cp)
{
    iconv_t cd = iconv_open("CP932", "UTF-32LE");
    char in[4] = {char(cp & 0xFF), char((cp >> 8) & 0xFF), char((cp >> 16) & 0xFF), 0};
    char out[8];
    char *inPtr = in;
    char *outPtr = out;
    size_t inLeft = 4, outLeft = sizeof out;
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == size_t(-1))
        return std::nullopt;
    return QByteArray(out, int(sizeof out - outLeft));
}
QString referenceDecode(const QByteArray &bytes)
{
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    char out[16];
    char *inPtr = const_cast<char *>(bytes.constData());
    char *outPtr = out;
    size_t inLeft = size_t(bytes.size()), outLeft = sizeof out;
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == size_t(-1))
        return QString();
    return QString(reinterpret_cast<const QChar *>(out), int((sizeof out - outLeft) / 2));
}
} // namespace

class tst_Cp932 : public QObject {
    Q_OBJECT
private slots:
    void roundTripsEveryMappedCharacter()
    {
        int mapped = 0;
        QString all;
        QByteArray allBytes;
        for (char32_t cp = 1; cp <= 0xFFFF; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            auto expected = referenceEncode(cp);
            // Characters the system table maps one way only (to a look-alike) are refused.
            if (expected && referenceDecode(*expected) != QString(QChar(char16_t(cp))))
                expected.reset();
            const QString text{QChar(char16_t(cp))};
            const auto bytes = Cp932::encode(text);
            QCOMPARE(bytes.has_value(), expected.has_value());
            if (!expected)
                continue;
            ++mapped;
            QCOMPARE(*bytes, *expected);
            QCOMPARE(Cp932::decode(*bytes), text);
            all += text;
            allBytes += *bytes;
        }
        // Everything the code page maps: ASCII, half-width kana, JIS X 0208 and the NEC/IBM rows.
        QVERIFY2(mapped > 7800, qPrintable(QString::number(mapped)));
        QCOMPARE(Cp932::encode(all), allBytes);
        QCOMPARE(Cp932::decode(allBytes), all);
    }

    void decodesEveryByteSequenceLikeTheSystem()
    {
        for (int lead = 0; lead < 256; ++lead) {
            const bool doubleByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
            for (int trail = doubleByte ? 0x40 : 0; trail < (doubleByte ? 0xFD : 1); ++trail) {
                QByteArray bytes(1, char(lead));
                if (doubleByte)
                    bytes += char(trail);
                if (bytes == QByteArray(1, '\0'))
                    continue;
                const QString expected = referenceDecode(bytes);
                const auto actual = Cp932::decode(bytes);
                QCOMPARE(actual.has_value(), !expected.isEmpty());
                if (actual)
                    QCOMPARE(*actual, expected);
            }
        }
    }

    void refusesWhatItCannotHold()
    {
        QVERIFY(!Cp932::encode(QString::fromUtf8("𠮷")));      // beyond the BMP
        QVERIFY(!Cp932::encode(QString::fromUtf8("a\u00e9"))); // é has no CP932 form
        QVERIFY(!Cp932::encode(QString(QChar(0xD842))));       // lone surrogate
        QVERIFY(!Cp932::encode(QString::fromUtf8("\u00a2")));  // mapped one way only
        QVERIFY(!Cp932::decode(QByteArray("\x81")));           // lead byte cut off
        QVERIFY(!Cp932::decode(QByteArray("ab\x82\x20")));     // invalid trail byte
        QCOMPARE(Cp932::decode(QByteArray()), QString());
        QCOMPARE(Cp932::encode(QString()), QByteArray());
        // No byte-order mark is ever written, and the yen sign stays a backslash byte.
        QCOMPARE(Cp932::encode("\\"), QByteArray("\\"));
        QCOMPARE(Cp932::decode("\x93\x8c\x8b\x9e"), QString("東京"));
    }

    void filesAreWrittenWholeOrNotAtAll()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.txt");
        FileSystem fs;
        QVERIFY(fs.writeText(path, "東京\r\n"));
        QCOMPARE(fs.readAll(path), QByteArray("\x93\x8c\x8b\x9e\r\n"));
        // A text CP932 cannot hold leaves the old file as it was.
        QVERIFY(!fs.writeText(path, QString::fromUtf8("𠮷")));
        QCOMPARE(fs.readText(path), QString("東京\r\n"));
        // So does a failed write.
        fs.setWriteFault([](const QString &p) { return p.endsWith("a.txt"); });
        QVERIFY(!fs.writeText(path, "new"));
        QCOMPARE(fs.readText(path), QString("東京\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.txt"});
        // Undecodable bytes are refused rather than read with characters lost.
        QFile raw(dir.filePath("bad.txt"));
        QVERIFY(raw.open(QIODevice::WriteOnly));
        raw.write("ok\xff");
        raw.close();
        QVERIFY(!fs.readText(raw.fileName()));
        QVERIFY(!fs.readText(dir.filePath("missing.txt")));
    }
};

QTEST_GUILESS_MAIN(tst_Cp932)
#include "tst_Cp932.moc"
