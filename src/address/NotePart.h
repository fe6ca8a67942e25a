#pragma once

#include "address/AddressNumbers.h"
#include "address/TypedNumbers.h"

#include <QStringView>
#include <QVarLengthArray>

// How one entry of the directory stands to an address.
enum class Verdict { Fits, RuledOut, Unknown, Fallback };

// One part of a note of numbers, folded: "1~19丁目", "5丁目1番地", "200番以上", "67-4~113-7番地",
// "第9地割~第11地割", "2丁目1番1~23号", "1-1-8" (a block and its go, taken whole), or "丁目" alone (how
// the address is written).
struct NotePart {
    struct Range {
        AddressNumbers::Pair low;
        AddressNumbers::Pair high;
    };
    using List = QVarLengthArray<NotePart, 16>;

    AddressNumbers::Unit unit = AddressNumbers::Unit::None;
    QStringView word; // for Unit::Other
    Range range;
    Range blocks;                        // after a chome: "4丁目55~114番地"
    Range gos;                           // after those: "2丁目1番1~23号"
    int exactGo = AddressNumbers::kNone; // "1-1-8": range is 1-1, the go 8
    bool isNumber = false;               // false: a place name or a street form, to be compared as text

    static NotePart read(QStringView part);
    // A list writes the unit once, at its end ("1、2丁目"), and a chome once, at its first blocks
    // ("2丁目1番1~23号、2番"): each part gets what its list gives it.
    static void completeUnits(List &parts);

    Verdict judge(const TypedNumbers &address, QStringView rest) const;
    // A part that names a place, perhaps with numbers of its own ("土浮山2~5番地") or in 「」 after it
    // ("下久保「174を除く」"), against the rest of the address after its town. sectionGiven: the rest
    // begins with its 字 name, so a place it does not name is ruled out. named: the length of the name
    // by which it fits.
    static Verdict judgeName(QStringView part, QStringView rest, bool sectionGiven, qsizetype &named);
};
