#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// How typed postal codes and addresses are read, and how codes are written back.
class PostalText {
public:
    // The code in what the user typed: full-width digits, hyphens of any kind, "〒" and blanks are
    // accepted; no value unless exactly seven digits remain and nothing else.
    static std::optional<quint32> parseCode(QStringView typed);
    // True when the text holds no digit or letter at all, only blanks, hyphens or "〒".
    static bool isBlankCode(QStringView typed);
    // "NNN-NNNN".
    static QString formatCode(quint32 code);

    // One character as addresses are compared, the same for the directory's keys and for what the user
    // typed: full-width letters and digits become ASCII, every kind of hyphen '-', both kinds of wave
    // dash '~', ヶ/が/ガ ケ, ノ の, ヵ カ, kanji numerals 〇 to 九 digits (not 十), the old forms of
    // characters still written in addresses (澤, 邊, 髙, 﨑 …) the new ones; blanks give 0, meaning
    // "leave out". Folding a folded character changes nothing.
    static char16_t fold(char16_t c)
    {
        if (c < 0x80) {
            if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n')
                return 0;
            return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        }
        if (c >= u'\uFF01' && c <= u'\uFF5E')
            return fold(char16_t(c - 0xFEE0));
        return foldWide(c);
    }
    // True when text, compared as above, begins with prefix.
    static bool startsWithFolded(QStringView text, QStringView prefix);

    // Half-width katakana (as in Japan Post's kana columns) to full-width, with a voicing mark joined to
    // its kana, full-width letters and digits to ASCII: what compatibility normalisation gives for such text.
    // Written into out, which must have room for text.size() units (the result is never longer); returns
    // the units written.
    static qsizetype fullWidthKana(QStringView text, char16_t *out);

private:
    static char16_t foldWide(char16_t c);
};
