#pragma once

// Old and variant forms of the kanji that Japan's town and city names are written with (澤, 髙, 﨑,
// 檮, 竈 …), each with the one form addresses are compared in. People write whichever form their
// input method or their habit gives, and Japan Post's files hold either: 塩竈市 is typed 塩釜市,
// 檮原町 梼原町, 麹町 麴町. Both the typed address and the data are folded to the same form, so the
// direction of a pair does not matter; folding twice changes nothing.
namespace KanjiVariants {

// The form compared, or c itself.
char16_t compared(char16_t c);

} // namespace KanjiVariants
