#pragma once

#include <QStringView>

// Numbers as addresses and Japan Post's notes write them, once folded by PostalText::appendFolded (so
// kanji numbers are ASCII digits already; a 十 that read as no number is left as it is).
namespace AddressNumbers {

inline constexpr int kNone = -1;

// What a number counts: 丁目, 番地/番, or Hokkaido's 区, 線 and 条 and Iwate's 地割.
enum class Unit { None, Chome, Block, Other };

// A number with the one after it where there is one: 2794-12, 40の1.
struct Pair {
    int major = kNone;
    int minor = kNone;
};

// 12, 1十2 (十二), 十, 2十 (二十), read from pos on; kNone when none starts there.
int read(QStringView text, qsizetype &pos);
// Moves pos past word when the text goes on with it.
bool takeWord(QStringView text, qsizetype &pos, QStringView word);
// The unit after a number; for Unit::Other, word tells which.
Unit takeUnit(QStringView text, qsizetype &pos, QStringView *word = nullptr);
// A number, "第" allowed before it, with the one after a hyphen or の.
Pair readPair(QStringView text, qsizetype &pos);

inline bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace AddressNumbers
