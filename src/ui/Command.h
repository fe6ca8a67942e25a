#pragma once

#include <QtGlobal>
#include <array>
#include <qnamespace.h>

// The main window's commands, each behind one button and one function key.
enum class Command {
    Clear,
    AddressSearch,
    MapByAddress,
    MapByPostalCode,
    MapByCompany,
    CaptureMapCentre,
    CopyRecord,
    Help,
    Close,
};

// A command's function key and button.
struct CommandBinding {
    Command command;
    int key; // a Qt::Key
    const char16_t *caption;
    const char16_t *toolTip; // null: none
    int left;                // the button's left edge in twips; the size is WindowDesign's
    int tabIndex;            // place in the window's tab order (see kGridTabIndex)
    bool enabledAtStart;
};

// One row per button, left to right. The last button starts at 14400, not 14385.
// clang-format off
inline constexpr std::array<CommandBinding, 9> kCommands{{
    {Command::Clear,            Qt::Key_F2,  u"初期化 (&F2)",         u"住所又は郵便番号から地図を検索します",      -15,  10, true},
    {Command::AddressSearch,    Qt::Key_F4,  u"住所検索  (&F4)",      u"住所又は郵便番号から地図を検索します",     1785,  4, true},
    {Command::MapByAddress,     Qt::Key_F5,  u"地図住所検索  (&F5)",  u"GoogleMapのｻｲﾄで住所から検索します",      3585,  2, true},
    {Command::MapByPostalCode,  Qt::Key_F6,  u"地図〒番号検索 (&F6)", u"GoogleMapのｻｲﾄで郵便番号から検索します",  5385,  5, true},
    {Command::MapByCompany,     Qt::Key_F7,  u"会社等で検索(F7)",     u"GoogleMapのｻｲﾄで会社等から検索します",    7185,  7, true},
    {Command::CaptureMapCentre, Qt::Key_F8,  u"緯度･経度を表示(F8)",  nullptr,                                  8985,  8, false},
    {Command::CopyRecord,       Qt::Key_F9,  u"CLIP BOARD(&F9)",      nullptr,                                 10785,  3, false},
    {Command::Help,             Qt::Key_F10, u"ﾍﾙﾌﾟ(&F10)",           nullptr,                                 12585,  9, true},
    {Command::Close,            Qt::Key_F12, u"終了(&F12)",           nullptr,                                 14400, 11, true},
}};
// clang-format on

// The other controls' places in the window's tab order, among the commands' (the status bar takes no
// focus; the places left free were the design's labels).
inline constexpr int kGridTabIndex = 1;
inline constexpr int kBrowserPanelTabIndex = 6;
inline constexpr int kTabIndexCount = 12;

// A command's row is found by its value: the rows follow the enum's order, one row per command.
constexpr bool commandRowsFollowTheEnum()
{
    for (size_t i = 0; i < kCommands.size(); ++i)
        if (kCommands[i].command != Command(i))
            return false;
    return kCommands.size() == size_t(Command::Close) + 1;
}
static_assert(commandRowsFollowTheEnum());

// The copy command's caption while the window serves a request.
inline constexpr const char16_t *kAcceptRequestCaption = u"MAP URL取込(&F9)";
