#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <algorithm>
#include <optional>

// Windows code page 932 (windows-31j), the text encoding of request files, the choice file and the
// settings file on every platform, whatever the locale. No byte-order mark is read or written. The
// program uses Cp932Table; platform/SystemCp932Codec is the system's own conversion it is checked against.
class Cp932Codec {
public:
    virtual ~Cp932Codec() = default;

    // No value when the bytes are not valid CP932: such a file is refused rather than read with
    // characters silently dropped or replaced.
    virtual std::optional<QString> decode(const QByteArray &bytes) const = 0;

    // As decode(), into out, which must have room for bytes.size() units (CP932 never gives more units
    // than bytes): the units written, or -1 where decode() gives no value. For a large file read piece by
    // piece into one buffer without a string for each piece.
    virtual qsizetype decodeInto(QByteArrayView bytes, char16_t *out) const
    {
        const auto text = decode(bytes.toByteArray());
        if (!text)
            return -1;
        std::copy_n(text->utf16(), text->size(), out);
        return text->size();
    }

    // Whether decode() would give a value, without the text.
    virtual bool isValid(QByteArrayView bytes) const { return decode(bytes.toByteArray()).has_value(); }

    // No value when the text holds a character that CP932 cannot store: writing it anyway would put a
    // wrong character into a file that another program reads.
    virtual std::optional<QByteArray> encode(const QString &text) const = 0;

    // The first character (a whole surrogate pair counts as one) that encode() refuses; empty when
    // every character can be stored.
    QString firstUnencodable(const QString &text) const
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString character = text.mid(i, n);
            if (!encode(character))
                return character;
            i += n - 1;
        }
        return {};
    }
};
