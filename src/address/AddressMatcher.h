#pragma once

#include "address/PostalDirectory.h"

#include <QStringView>

// Address → the town entries it can belong to, as Japan Post's notes tell them apart.
//
// What the directory must offer (PostalDirectory::findLongestKey):
// - Text is compared folded by PostalText::appendFolded, and the keys are folded the same way;
//   folding is idempotent, so folded text may be folded again.
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
// How it reads the city (CityFinder): the city the address begins with is found first, its prefecture
// written whole, without 都/府/県 or not at all, a town or village with or without its 郡, and the
// address is read on as prefecture + city + the rest, so that a city's name is never a town's. A
// city's name shared by several cities gives a reading in each; the readings that got furthest (a
// town, over the city's own code, over its code for towns not listed; of towns, the one that read
// more) are the answer, several to choose from. Without a city, a town found by the prefecture alone
// that stops before 市, 区, 郡, or before 町 or 村 that make a city's name, is no answer.
// Where the text after the city finds no town, goes on with a name after the town found, or gives
// the city's code for a number only by its first character (三田 read as 3), the town is tried written
// otherwise: 町 or 村 added (春日 for 春日町), 町 and 丁 swapped (7番町 for 七番丁); the variant that
// reads furthest counts, and only where it leaves nothing but numbers unread.
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
