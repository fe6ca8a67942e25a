#pragma once

#include "address/PostalDirectory.h"
#include "address/PostalText.h"

#include <QStringView>

// One folded address read from the longest key it begins with: the town's entries, as Japan Post's
// notes tell them apart. AddressMatcher finds the city first and hands the text here written as Japan
// Post writes prefecture and city.
//
// How it chooses, after the longest key:
// - 大字, 小字 and 字 are how an address is written, not part of Japan Post's towns: 大字日永,
//   山内町大字鳥海 (KEN_ALL's 山内町鳥海) and 字椿原 after the town are read past. A note "（大字）"
//   fits an address that writes 大字 before the town.
// - Kyoto: a street before the town (烏丸通塩小路下る, 西入ル, 四条下る2丁目 …) is skipped to reach the
//   town, and kept to compare with the street forms that the town's notes list.
// - A town with buildings of their own codes ("（次のビルを除く）", or "（その他）" as 名駅's): a building
//   named after the block numbers ("霞が関3-2-5 霞が関ビル12階") is found too; in a building, the floor
//   typed (12階, １２Ｆ) picks its code (also "（高層棟）（１０階）"), else the "（地階・階層不明）" one.
// - Notes of numbers, ranges and lists (（１～１９丁目）, （１、２丁目）, （５丁目１番地）,
//   （１～１３１番地）, （２００番以上）, （２丁目１番１～２３号、２番）, （２７９４－１２番地）,
//   （１－１－８、１－１－１２）, （第９地割～第１１地割）, （１区）, （１線～３線）) keep the entries whose
//   numbers the address gives; "（その他）" and "（次のビルを除く）" serve when every other entry is ruled
//   out; other notes (place names, street forms) keep the entry whose note the address holds, the
//   longest such name where several do.
// - At the city: the code for addresses going on with a number when they do, else the city's own.
// - Whatever is left is returned in the directory's order: one entry, or the candidates to ask about.
class TownReader {
public:
    struct Answer {
        PostalDirectory::Entries entries;
        bool cityCodeOnly = false;
        qsizetype keyLength = 0;
        bool readCityAsTown = false; // see readsCityAsTown
        // How much of the text after the city's name the town read, where a city was read.
        qsizetype reach = 0;
        // The text after the town goes on with a name rather than numbers: the town may be only the
        // beginning of the one written (鹿の谷 of 鹿の谷東丘, written for 鹿の谷東丘町).
        bool nameAfterTown = false;
        // The one answer is the city's code for a number after the city, by the rule alone: 三田 (for
        // 三田町) reads as 3 followed by 田.
        bool numberAfterCity = false;
    };
    static Answer read(const PostalDirectory &directory, const PostalText::Folded &text);
    // True when the text after a town is its numbers, or 字 and a name within it: nothing there names
    // another town.
    static bool goesOnWithNumbers(QStringView after);
};
