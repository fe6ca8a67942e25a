#pragma once

#include "ui/BrowserTool.h"

#include <QRect>

#include <array>
#include <optional>

// Where the panel's children go, in twips, for one panel size.
struct BrowserLayout {
    // The tool buttons, in the order of kBrowserTools.
    std::array<QRect, kBrowserTools.size()> buttons;
    // Empty when the panel is too narrow for the box: it then keeps its last place.
    std::optional<QRect> urlBox;
    QRect browser;
};
