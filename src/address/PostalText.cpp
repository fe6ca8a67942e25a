#include "address/PostalText.h"

#include <array>
#include <initializer_list>

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

char16_t PostalText::foldWide(char16_t c)
{
    if (isHyphenLike(c))
        return u'-';
    switch (c) {
    case u'\u3000':
        return 0;
    case u'\u30F6': // ヶ as in 霞ヶ関, which the data may write ケ
        return u'\u30B1';
    case u'\u30F5': // ヵ
        return u'\u30AB';
    default:
        return c;
    }
}

QString PostalText::foldText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar ch : text)
        if (const char16_t c = fold(ch.unicode()))
            out.append(QChar(c));
    return out;
}

bool PostalText::startsWithFolded(QStringView text, QStringView prefix)
{
    qsizetype t = 0;
    for (QChar pc : prefix) {
        const char16_t p = fold(pc.unicode());
        if (!p)
            continue;
        char16_t c = 0;
        while (t < text.size() && !(c = fold(text[t].unicode())))
            ++t;
        if (t == text.size() || c != p)
            return false;
        ++t;
    }
    return true;
}

namespace {

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
        const auto nfkc = [](std::initializer_list<char16_t> units) {
            return QString(reinterpret_cast<const QChar *>(units.begin()), qsizetype(units.size()))
                .normalized(QString::NormalizationForm_KC);
        };
        for (char16_t c = kFirstHalfWidth; c <= kLastHalfWidth; ++c)
            wide[c - kFirstHalfWidth] = nfkc({c}).front().unicode();
        for (char16_t c = kFirstKana; c <= kLastKana; ++c) {
            const QString withVoiced = nfkc({c, kVoiced}), withSemiVoiced = nfkc({c, kSemiVoiced});
            voiced[c - kFirstKana] = withVoiced.size() == 1 ? withVoiced.front().unicode() : 0;
            semiVoiced[c - kFirstKana] = withSemiVoiced.size() == 1 ? withSemiVoiced.front().unicode() : 0;
        }
    }
};

} // namespace

qsizetype PostalText::fullWidthKana(QStringView text, char16_t *out)
{
    static const KanaTable table;
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

QString PostalText::fullWidthKana(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    out.truncate(fullWidthKana(text, reinterpret_cast<char16_t *>(out.data())));
    return out;
}
