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
//   that note. A city's own code ("以下に掲載がない場合") is a record with an empty town.
// - Given folded text, the records (towns only, in any order, each once) of the longest key that the
//   text begins with, and that key's length; none and 0 when no key begins it. Called several times a
//   look-up with text made up here (the address with a Kyoto street or the block numbers cut out).
// - For each record: town, street, note (as Japan Post writes them, unfolded) and code.
//
// How it chooses, after the longest key:
// - Kyoto: a street before the town (烏丸通塩小路下る, 西入ル, 四条下る2丁目 …) is skipped to reach the
//   town, and kept to compare with the street forms that the town's notes list.
// - A town with buildings of their own codes ("（次のビルを除く）", or "（その他）" as 名駅's): a building
//   named after the block numbers ("霞が関3-2-5 霞が関ビル12階") is found too; in a building, the floor
//   typed (12階, １２Ｆ) picks its code (also "（高層棟）（１０階）"), else the "（地階・階層不明）" one.
// - Notes of numbers, ranges and lists (（１～１９丁目）, （１、２丁目）, （５丁目１番地）,
// （１～１３１番地）,
//   （２００番以上）, （２丁目１番１～２３号、２番）, （２７９４－１２番地）, （第９地割～第１１地割）,
//   （１区）, （１線～３線）) keep the entries whose numbers the address gives; "（その他）" and
//   "（次のビルを除く）" serve when every other entry is ruled out; other notes (place names, street forms)
//   keep the entry whose note the address holds, the longest such name where several do.
// - Whatever is left is returned in the directory's order: one entry, or the candidates to ask about.
class AddressMatcher {
public:
    static PostalDirectory::Entries match(const PostalDirectory &directory, QStringView address);
};
