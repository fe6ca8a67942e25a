#pragma once

#include <array>

// The browser panel's tool buttons, left to right.
enum class BrowserTool { Back, Forward, Home, Search, Print, PageSetup, Save, Document };

struct BrowserToolDesign {
    BrowserTool tool;
    const char16_t *toolTip;
    const char *icon;
};

// One row per button, in their order on screen (which is also their tab order).
inline constexpr std::array<BrowserToolDesign, 8> kBrowserTools{{
    {BrowserTool::Back, u"前のﾍﾟ-ｼﾞに移動", ":/browser/icons/back.svg"},
    {BrowserTool::Forward, u"次のﾍﾟ-ｼﾞに移動", ":/browser/icons/forward.svg"},
    {BrowserTool::Home, u"ﾎ-ﾑﾍﾟ-ｼﾞに移動します", ":/browser/icons/home.svg"},
    {BrowserTool::Search, u"検索ﾍﾟ-ｼﾞに移動します", ":/browser/icons/search.svg"},
    {BrowserTool::Print, u"現在のﾍﾟ-ｼﾞを印刷", ":/browser/icons/print.svg"},
    {BrowserTool::PageSetup, u"ﾍﾟ-ｼﾞ設定", ":/browser/icons/pagesetup.svg"},
    {BrowserTool::Save, u"現在のﾍﾟ-ｼﾞを保存します", ":/browser/icons/save.svg"},
    {BrowserTool::Document, u"ﾂ-ﾙﾊﾞ-を表示します", ":/browser/icons/toolbar.svg"},
}};
