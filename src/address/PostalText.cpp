#include "address/PostalText.h"

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

QString PostalText::fullWidthKana(QStringView text)
{
    // Compatibility normalisation turns half-width katakana, with their separate voicing marks, into the
    // composed full-width ones; it leaves full-width text as it is.
    return text.toString().normalized(QString::NormalizationForm_KC);
}
