#pragma once

#include <QString>
#include <array>

// What became of one row of a list.
enum class RowStatus {
    Completed,    // the empty code or address filled in
    Matches,      // code and address agree
    ZeroLost,     // a known code without its leading 0, as a spreadsheet leaves it; the full one a candidate
    Mismatch,     // the address gives another code
    Several,      // several answers, none taken
    NotFound,     // neither the code nor the address is known
    CityCodeOnly, // the code filled is the city's, for towns Japan Post does not list
    Unwritable,   // what would be filled holds a character the list's CP932 cannot store
    Blank,        // no code and no address: nothing to do
    ColumnCount,  // the row has not as many fields as the header: passed through unread
};
constexpr std::size_t kRowStatusCount = 10;

struct RowStatusText {
    RowStatus status;
    const char16_t *inFile;  // written into the row's status column
    const char16_t *summary; // as the summary counts it
    bool needsLook;          // the user is asked to look at such rows in the output
};

inline constexpr std::array<RowStatusText, kRowStatusCount> kRowStatusTexts{{
    {RowStatus::Completed, u"補完", u"補完", false},
    {RowStatus::Matches, u"一致", u"一致", false},
    {RowStatus::ZeroLost, u"先頭の0が欠落", u"先頭の0が欠落", true},
    {RowStatus::Mismatch, u"不一致", u"不一致", true},
    {RowStatus::Several, u"候補複数", u"候補複数", true},
    {RowStatus::NotFound, u"見つかりません", u"見つかりません", true},
    {RowStatus::CityCodeOnly, u"市区町村のみ", u"市区町村のみ", true},
    {RowStatus::Unwritable, u"書けない文字", u"書けない文字", true},
    {RowStatus::Blank, u"", u"空欄", false},
    {RowStatus::ColumnCount, u"列数違い", u"列数違い", true},
}};

// The table is looked up by a status's value: a row missing or out of place, or a count beyond the
// rows, does not build.
constexpr bool rowStatusTableInOrder()
{
    for (std::size_t i = 0; i < kRowStatusTexts.size(); ++i)
        if (kRowStatusTexts[i].status != RowStatus(i))
            return false;
    return true;
}
static_assert(rowStatusTableInOrder() && kRowStatusTexts.back().status == RowStatus::ColumnCount,
              "kRowStatusTexts holds one row per RowStatus, in the enum's order");
