#include "address/PostalText.h"

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

// Kanji numerals as digits, so that 六丁目 reads as 6丁目 and 北一条 as 北1条 (十 stays: its value
// depends on its neighbours); and the old forms of characters that people still write in addresses,
// where the data writes the new one. Sorted by the first character.
struct KanjiFold {
    char16_t from;
    char16_t to;
};
constexpr KanjiFold kKanjiFolds[] = {
    {u'\u3007', u'0'},      // 〇 → 0
    {u'\u4E00', u'1'},      // 一 → 1
    {u'\u4E03', u'7'},      // 七 → 7
    {u'\u4E09', u'3'},      // 三 → 3
    {u'\u4E5D', u'9'},      // 九 → 9
    {u'\u4E8C', u'2'},      // 二 → 2
    {u'\u4E94', u'5'},      // 五 → 5
    {u'\u516B', u'8'},      // 八 → 8
    {u'\u516D', u'6'},      // 六 → 6
    {u'\u51A8', u'\u5BCC'}, // 冨 → 富
    {u'\u56DB', u'4'},      // 四 → 4
    {u'\u570B', u'\u56FD'}, // 國 → 国
    {u'\u582F', u'\u5C2D'}, // 堯 → 尭
    {u'\u589E', u'\u5897'}, // 增 → 増
    {u'\u58FD', u'\u5BFF'}, // 壽 → 寿
    {u'\u5BE6', u'\u5B9F'}, // 實 → 実
    {u'\u5D5C', u'\u5D0E'}, // 嵜 → 崎
    {u'\u5D8B', u'\u5CF6'}, // 嶋 → 島
    {u'\u5D8C', u'\u5CF6'}, // 嶌 → 島
    {u'\u5EE3', u'\u5E83'}, // 廣 → 広
    {u'\u5F4C', u'\u5F25'}, // 彌 → 弥
    {u'\u5FB7', u'\u5FB3'}, // 德 → 徳
    {u'\u60E0', u'\u6075'}, // 惠 → 恵
    {u'\u66FE', u'\u66FD'}, // 曾 → 曽
    {u'\u689D', u'\u6761'}, // 條 → 条
    {u'\u69AE', u'\u6804'}, // 榮 → 栄
    {u'\u69C7', u'\u69D9'}, // 槇 → 槙
    {u'\u6A9C', u'\u6867'}, // 檜 → 桧
    {u'\u6AFB', u'\u685C'}, // 櫻 → 桜
    {u'\u6DFA', u'\u6D45'}, // 淺 → 浅
    {u'\u6F81', u'\u6E0B'}, // 澁 → 渋
    {u'\u6FA4', u'\u6CA2'}, // 澤 → 沢
    {u'\u6FF1', u'\u6D5C'}, // 濱 → 浜
    {u'\u7027', u'\u6EDD'}, // 瀧 → 滝
    {u'\u7576', u'\u5F53'}, // 當 → 当
    {u'\u771E', u'\u771F'}, // 眞 → 真
    {u'\u7E23', u'\u770C'}, // 縣 → 県
    {u'\u8218', u'\u9928'}, // 舘 → 館
    {u'\u842C', u'\u4E07'}, // 萬 → 万
    {u'\u85CF', u'\u8535'}, // 藏 → 蔵
    {u'\u85EA', u'\u85AE'}, // 藪 → 薮
    {u'\u8C50', u'\u8C4A'}, // 豐 → 豊
    {u'\u9089', u'\u8FBA'}, // 邉 → 辺
    {u'\u908A', u'\u8FBA'}, // 邊 → 辺
    {u'\u975C', u'\u9759'}, // 靜 → 静
    {u'\u9A52', u'\u9A28'}, // 驒 → 騨
    {u'\u9AD9', u'\u9AD8'}, // 髙 → 高
    {u'\u9E7D', u'\u5869'}, // 鹽 → 塩
    {u'\u9ED1', u'\u9ED2'}, // 黑 → 黒
    {u'\u9F4A', u'\u6589'}, // 齊 → 斉
    {u'\u9F4B', u'\u658E'}, // 齋 → 斎
    {u'\u9F8D', u'\u7ADC'}, // 龍 → 竜
    {u'\uFA11', u'\u5D0E'}, // 﨑 → 崎
};

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
    if (c < u'\u3007' || c > u'\uFA11')
        return c;
    const auto it = std::lower_bound(std::begin(kKanjiFolds), std::end(kKanjiFolds), c,
                                     [](const KanjiFold &f, char16_t k) { return f.from < k; });
    return it != std::end(kKanjiFolds) && it->from == c ? it->to : c;
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
