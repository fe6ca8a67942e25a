#pragma once

#include "address/PostalDirectory.h"

#include <QStringView>

// Address → the town entries it can belong to, as Japan Post's notes tell them apart.
//
// What the directory must offer (PostalDirectory::findLongestKey):
// - Text is compared folded, character by character, by PostalText::fold, and the keys are folded
//   the same way; folding is idempotent, so folded text may be folded again.
// - A town record's keys: prefecture + city + town, city + town, and prefecture + town where the town
//   is not empty. A building floor record's town is the town + the building's name (霞が関霞が関ビル),
//   its floor in the street ("１２階"), its note empty; the building's "（地階・階層不明）" record has
//   that note. A city's own records have an empty town: its code for towns Japan Post does not list
//   has the note "（以下に掲載がない場合）", its code for addresses that go on with a number after the
//   city "（〇〇の次に番地がくる場合）", and a municipality of one code ("一円") none.
// - Given folded text, the records (towns only, in any order, each once) of the longest key that the
//   text begins with, and that key's length; none and 0 when no key begins it. Called several times a
//   look-up with text made up here (the address with a Kyoto street, 字 or the block numbers cut out).
// - For each record: town, street, note (as Japan Post writes them, unfolded) and code.
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
class AddressMatcher {
public:
    struct Result {
        PostalDirectory::Entries entries;
        // The one answer is the city's code for towns Japan Post does not list, while the address goes
        // on after the city: right by Japan Post's rule if the town is really not listed, but the
        // search could not tell, so the user must be told.
        bool cityCodeOnly = false;
    };
    static Result match(const PostalDirectory &directory, QStringView address);
};
