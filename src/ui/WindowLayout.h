#pragma once

#include "ui/Command.h"

#include <QRect>
#include <QSize>
#include <array>

// Where the window's parts go for a client area of any size, in twips, apart from any widget. At the
// design's size everything sits where WindowDesign says. Wider, the record grid and its 住所 column take
// the width gained (the other columns keep theirs) and the buttons stay as designed; narrower, the
// buttons' row shrinks evenly so that every button stays on screen, and the grid with its 住所 column
// gives the width up; the browser panel and the status bar follow the window's edges.
struct WindowLayout {
    std::array<QRect, kCommands.size()> buttons;
    QRect grid;
    // How much wider (or, negative, narrower) the 住所 column is than designed.
    int addressGain = 0;
    QRect browserPanel;
    QRect statusBar;

    // statusHeight: the status bar's own height, which its font decides.
    static WindowLayout forClient(QSize client, int statusHeight);
    // The smallest client area, in twips, at which a button of the design's width shrunk evenly with
    // the row is still buttonWidth wide (never wider than the design), and which keeps the grid and
    // some of the map.
    static QSize minimumClient(int buttonWidth, int statusHeight);
};
