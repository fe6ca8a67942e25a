// The map query encoder against Qt's own percent-encoding of the same UTF-8.
#include "FuzzCheck.h"
#include "core/MapQueryEncoder.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The bytes as UTF-16 code units, lone surrogates included.
    const QString text(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    QString encoded;
    encodeMapQueryValue(text, encoded);
    if (text.isEmpty())
        return 0;
    // The reference: lone surrogate halves become U+FFFD first, then Qt's UTF-8 and percent-encoding.
    QString whole;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            whole += text.mid(i++, 2);
            continue;
        }
        whole += text[i].isSurrogate() ? QChar(QChar::ReplacementCharacter) : text[i];
    }
    const QByteArray expected = whole.toUtf8().toPercentEncoding(" @*", "~").replace(' ', '+');
    FUZZ_CHECK(encoded == QString::fromLatin1(expected));
    return 0;
}
