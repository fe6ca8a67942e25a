#pragma once

#include <QString>
#include <array>

// What became of one row of a list.
enum class RowStatus {
    Completed,    // the empty code or address filled in
    Matches,      // code and address agree
    Mismatch,     // the address gives another code
    Several,      // several answers, none taken
    NotFound,     // neither the code nor the address is known
    CityCodeOnly, // the code filled is the city's, for towns Japan Post does not list
    Blank,        // no code and no address: nothing to do
    ColumnCount,  // the row has not as many fields as the header: passed through unread
};
constexpr std::size_t kRowStatusCount = 8;

struct RowStatusText {
    RowStatus status;
    const char16_t *inFile;  // written into the row's status column
    const char16_t *summary; // as the summary counts it
};

inline constexpr std::array<RowStatusText, kRowStatusCount> kRowStatusTexts{{
    {RowStatus::Completed, u"補完", u"補完"},
    {RowStatus::Matches, u"一致", u"一致"},
    {RowStatus::Mismatch, u"不一致", u"不一致"},
    {RowStatus::Several, u"候補複数", u"候補複数"},
    {RowStatus::NotFound, u"見つかりません", u"見つかりません"},
    {RowStatus::CityCodeOnly, u"市区町村のみ", u"市区町村のみ"},
    {RowStatus::Blank, u"", u"空欄"},
    {RowStatus::ColumnCount, u"列数違い", u"列数違い"},
}};

inline const RowStatusText &rowStatusText(RowStatus status)
{
    return kRowStatusTexts[std::size_t(status)];
}
