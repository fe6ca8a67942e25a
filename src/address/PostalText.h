#pragma once

#include <QString>
#include <QStringView>
#include <QVarLengthArray>
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

    // Text as addresses are compared, the same for the directory's keys and for what the user typed,
    // appended to out. Per character: full-width letters and digits become ASCII, every kind of hyphen
    // '-', both kinds of wave dash '~', ヶ/が/ガ ケ, ノ の, ヵ カ, kanji digits 〇 to 九 digits, old and
    // variant kanji (KanjiVariants) and compatibility ideographs the form compared, half-width katakana
    // full-width with their voicing marks joined, and blanks and variation selectors are left out.
    // Over the text: a number written with 十 or 百 becomes its digits (北三十二条 and 北32条 are one,
    // 十二丁目 and 12丁目 too). Folding folded text changes nothing.
    using Folded = QVarLengthArray<char16_t, 256>;
    static void appendFolded(Folded &out, QStringView text);
    static Folded folded(QStringView text)
    {
        Folded out;
        appendFolded(out, text);
        return out;
    }
    // True when text, compared as above, begins with prefix.
    static bool startsWithFolded(QStringView text, QStringView prefix);

    // Half-width katakana (as in Japan Post's kana columns) to full-width, with a voicing mark joined to
    // its kana, full-width letters and digits to ASCII: what compatibility normalisation gives for such text.
    // Written into out, which must have room for text.size() units (the result is never longer); returns
    // the units written.
    static qsizetype fullWidthKana(QStringView text, char16_t *out);
};
