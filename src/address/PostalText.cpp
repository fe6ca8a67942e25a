#include "address/PostalText.h"

#include "address/KanjiVariants.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <iterator>

namespace {

// Dashes and long-vowel marks that people type, or input methods give, where a hyphen is meant.
bool isHyphenLike(char16_t c)
{
    switch (c) {
    case u'\u2010':
    case u'\u2011':
    case u'\u2012':
    case u'\u2013':
    case u'\u2014':
    case u'\u2015':
    case u'\u2212': // minus sign, what some input methods give for "－"
    case u'\u30FC': // ー, typed for a hyphen more often than one would think
    case u'\uFF70': // ｰ
        return true;
    default:
        return false;
    }
}

bool isSeparator(char16_t c)
{
    switch (c) {
    case u' ':
    case u'\t':
    case u'\u3000': // ideographic space
    case u'\u3012': // 〒
    case u'-':
    case u'\uFF0D': // －
        return true;
    default:
        return isHyphenLike(c);
    }
}

int digitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'\uFF10' && c <= u'\uFF19')
        return c - u'\uFF10';
    return -1;
}

} // namespace

std::optional<quint32> PostalText::parseCode(QStringView typed)
{
    quint32 code = 0;
    int digits = 0;
    for (QChar ch : typed) {
        const char16_t c = ch.unicode();
        if (isSeparator(c))
            continue;
        const int d = digitValue(c);
        if (d < 0 || ++digits > 7)
            return std::nullopt;
        code = code * 10 + quint32(d);
    }
    if (digits != 7)
        return std::nullopt;
    return code;
}

bool PostalText::isBlankCode(QStringView typed)
{
    for (QChar ch : typed)
        if (!isSeparator(ch.unicode()))
            return false;
    return true;
}

QString PostalText::formatCode(quint32 code)
{
    QString text(8, u'-');
    QChar *p = text.data();
    for (int i = 7; i >= 0; --i) {
        if (i == 3)
            continue;
        p[i] = QChar(u'0' + code % 10);
        code /= 10;
    }
    return text;
}

namespace {

QString nfkc(std::initializer_list<char16_t> units)
{
    return QString(reinterpret_cast<const QChar *>(units.begin()), qsizetype(units.size()))
        .normalized(QString::NormalizationForm_KC);
}

// What compatibility normalisation makes of half-width katakana and of a kana followed by a voicing mark,
// worked out once: normalising each of Japan Post's lines took longer than all the rest of reading them.
struct KanaTable {
    static constexpr char16_t kFirstHalfWidth = 0xFF61, kLastHalfWidth = 0xFF9F;
    static constexpr char16_t kFirstKana = 0x3040, kLastKana = 0x30FF;
    static constexpr char16_t kVoiced = 0x3099, kSemiVoiced = 0x309A; // what ﾞ and ﾟ become
    std::array<char16_t, kLastHalfWidth - kFirstHalfWidth + 1> wide{};
    // By full-width kana: the kana with the mark joined, or 0 where the two stay apart.
    std::array<char16_t, kLastKana - kFirstKana + 1> voiced{}, semiVoiced{};

    KanaTable()
    {
        for (char16_t c = kFirstHalfWidth; c <= kLastHalfWidth; ++c)
            wide[c - kFirstHalfWidth] = nfkc({c}).front().unicode();
        for (char16_t c = kFirstKana; c <= kLastKana; ++c) {
            const QString withVoiced = nfkc({c, kVoiced}), withSemiVoiced = nfkc({c, kSemiVoiced});
            voiced[c - kFirstKana] = withVoiced.size() == 1 ? withVoiced.front().unicode() : 0;
            semiVoiced[c - kFirstKana] = withSemiVoiced.size() == 1 ? withSemiVoiced.front().unicode() : 0;
        }
    }
};

const KanaTable &kanaTable()
{
    static const KanaTable table;
    return table;
}

// CJK compatibility ideographs as compatibility normalisation gives them (塚 U+FA10 is 塚 U+585A),
// worked out once. The few it leaves alone (﨑 …) or maps outside this plane stay as they are.
struct CompatibilityTable {
    static constexpr char16_t kFirst = 0xF900, kLast = 0xFAFF;
    std::array<char16_t, kLast - kFirst + 1> unified{};

    CompatibilityTable()
    {
        for (char16_t c = kFirst; c <= kLast; ++c) {
            const QString n = nfkc({c});
            unified[c - kFirst] = n.size() == 1 ? n.front().unicode() : c;
        }
    }
};

char16_t foldWide(char16_t c)
{
    if (isHyphenLike(c))
        return u'-';
    switch (c) {
    case u'\u3000':
        return 0;
    case u'\u301C': // 〜, how utf_ken_all writes the ～ of KEN_ALL's ranges
        return u'~';
    case u'\u30F6': // ヶ as in 霞ヶ関, which the data writes 霞が関 or ケ
    case u'\u304C': // が
    case u'\u30AC': // ガ
        return u'\u30B1';
    case u'\u30F5': // ヵ
        return u'\u30AB';
    case u'\u30CE': // ノ as in 丸ノ内, which the data writes 丸の内
        return u'\u306E';
    default:
        break;
    }
    return KanjiVariants::compared(c);
}

// One character; 0 for one that is left out.
char16_t fold(char16_t c)
{
    if (c < 0x80) {
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n')
            return 0;
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    }
    if (c >= u'\uFF01' && c <= u'\uFF5E')
        return fold(char16_t(c - 0xFEE0));
    if (c >= 0xFE00 && c <= 0xFE0F) // variation selectors: the same character drawn otherwise
        return 0;
    return foldWide(c);
}

// A character beyond the first plane: variation selectors left out, compatibility ideographs
// normalised, 𠮷 (the 吉 of many names, which few fonts and files can hold) as 吉.
void appendSupplementary(PostalText::Folded &out, char32_t u)
{
    if (u >= 0xE0100 && u <= 0xE01EF)
        return;
    if (u == 0x20BB7) {
        out.append(u'吉');
        return;
    }
    const char16_t pair[2] = {QChar::highSurrogate(u), QChar::lowSurrogate(u)};
    if (u >= 0x2F800 && u <= 0x2FA1F) {
        const QString n = nfkc({pair[0], pair[1]});
        for (QChar c : n)
            if (const char16_t f = QChar::isSurrogate(c.unicode()) ? c.unicode() : fold(c.unicode()))
                out.append(f);
        return;
    }
    out.append(pair, 2);
}

// The value of a kanji numeral, 十 and 百 included; -1 for any other character. Digits alone read as
// digits (六丁目 as 6丁目, 北一条 as 北1条); 十 and 百 are read with their neighbours (appendNumerals).
int kanjiNumeral(char16_t c)
{
    switch (c) {
    case u'〇':
        return 0;
    case u'一':
        return 1;
    case u'二':
        return 2;
    case u'三':
        return 3;
    case u'四':
        return 4;
    case u'五':
        return 5;
    case u'六':
        return 6;
    case u'七':
        return 7;
    case u'八':
        return 8;
    case u'九':
        return 9;
    case u'十':
        return 10;
    case u'百':
        return 100;
    default:
        return -1;
    }
}

// A run of kanji numerals as digits: 三十二 → 32, 十 → 10, 二百五 → 205, 一二 → 12 (digits written one
// by one stay so). Written with 十 or 百, a number is read whole, so that 北三十二条 and 北32条 are one;
// a run that reads as no number (十十) keeps its 十 and 百.
void appendNumerals(PostalText::Folded &out, QStringView run)
{
    for (qsizetype i = 0; i < run.size();) {
        int value = 0;
        qsizetype at = i;
        for (const int scale : {100, 10}) {
            qsizetype p = at;
            int times = 1;
            if (p + 1 < run.size() && kanjiNumeral(run[p].unicode()) < 10 &&
                kanjiNumeral(run[p + 1].unicode()) == scale)
                times = kanjiNumeral(run[p++].unicode());
            if (p < run.size() && kanjiNumeral(run[p].unicode()) == scale && times > 0) {
                value += times * scale;
                at = p + 1;
            }
        }
        if (at == i) { // no 十 or 百 here: one digit, or a 十 or 百 that reads as no number
            const int digit = kanjiNumeral(run[i].unicode());
            out.append(digit < 10 ? char16_t(u'0' + digit) : run[i].unicode());
            ++i;
            continue;
        }
        if (at < run.size() && kanjiNumeral(run[at].unicode()) < 10)
            value += kanjiNumeral(run[at++].unicode());
        char16_t digits[4];
        qsizetype n = 0;
        for (int v = value; n == 0 || v > 0; v /= 10)
            digits[n++] = char16_t(u'0' + v % 10);
        while (n > 0)
            out.append(digits[--n]);
        i = at;
    }
}

} // namespace

void PostalText::appendFolded(Folded &out, QStringView text)
{
    // Half-width katakana and compatibility ideographs as the characters they stand for; the tables
    // are made at the first such character, which most names never hold.
    const auto unified = [](char16_t c) {
        if (c >= KanaTable::kFirstHalfWidth && c <= KanaTable::kLastHalfWidth)
            return kanaTable().wide[c - KanaTable::kFirstHalfWidth];
        if (c >= CompatibilityTable::kFirst && c <= CompatibilityTable::kLast) {
            static const CompatibilityTable compatibility;
            return compatibility.unified[c - CompatibilityTable::kFirst];
        }
        return c;
    };
    const qsizetype start = out.size();
    out.reserve(start + text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        // Most of an address: a kanji that is no numeral, compared as it is or in its usual form.
        if (c >= 0x4E00 && c <= 0x9FFF && kanjiNumeral(c) < 0) {
            out.append(KanjiVariants::compared(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            appendSupplementary(out, QChar::surrogateToUcs4(c, text[++i].unicode()));
            continue;
        }
        // Half a pair is no character; kept, two halves could meet once what stood between them is
        // left out, and fold into something else the next time.
        if (QChar::isSurrogate(c))
            continue;
        c = unified(c);
        if (kanjiNumeral(c) >= 0) {
            QVarLengthArray<char16_t, 16> run{c};
            while (i + 1 < text.size() && kanjiNumeral(unified(text[i + 1].unicode())) >= 0)
                run.append(unified(text[++i].unicode()));
            appendNumerals(out, QStringView(run.constData(), run.size()));
            continue;
        }
        if ((c == KanaTable::kVoiced || c == KanaTable::kSemiVoiced) && out.size() > start &&
            out.back() >= KanaTable::kFirstKana && out.back() <= KanaTable::kLastKana) {
            const KanaTable &kana = kanaTable();
            const auto &joined = c == KanaTable::kVoiced ? kana.voiced : kana.semiVoiced;
            if (const char16_t voiced = joined[out.back() - KanaTable::kFirstKana]) {
                out.back() = fold(voiced);
                continue;
            }
        }
        if ((c = fold(c)))
            out.append(c);
    }
}

bool PostalText::startsWithFolded(QStringView text, QStringView prefix)
{
    const Folded t = folded(text);
    const Folded p = folded(prefix);
    return t.size() >= p.size() && std::equal(p.begin(), p.end(), t.begin());
}

qsizetype PostalText::fullWidthKana(QStringView text, char16_t *out)
{
    const KanaTable &table = kanaTable();
    char16_t *o = out;
    for (const QChar ch : text) {
        char16_t c = ch.unicode();
        if (c >= KanaTable::kFirstHalfWidth && c <= KanaTable::kLastHalfWidth)
            c = table.wide[c - KanaTable::kFirstHalfWidth];
        else if (c >= u'\uFF01' && c <= u'\uFF5E')
            c = char16_t(c - 0xFEE0);
        else if (c == u'\u3000')
            c = u' ';
        if ((c == KanaTable::kVoiced || c == KanaTable::kSemiVoiced) && o > out &&
            o[-1] >= KanaTable::kFirstKana && o[-1] <= KanaTable::kLastKana) {
            const auto &joined = c == KanaTable::kVoiced ? table.voiced : table.semiVoiced;
            if (const char16_t kana = joined[o[-1] - KanaTable::kFirstKana]) {
                o[-1] = kana;
                continue;
            }
        }
        *o++ = c;
    }
    return o - out;
}
