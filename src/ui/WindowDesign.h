#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// The window as designed, in twips (1/1440 inch), as the stored place is: every number of the window's
// geometry, in one place. Pixels come only at the widget, with the screen's logical DPI (placeInTwips).
// At the design's size every part sits where it says here; at other sizes the browser panel and the
// status bar follow the window's edges (MainWindow) and the panel's parts follow the panel's
// (BrowserRules::layout). The command buttons' left edges are in their rows of kCommands.
namespace WindowDesign {

// The client area, and its place from the screen's corner.
inline constexpr QSize kClient{16260, 7485};
inline constexpr QPoint kClientPlace{1155, 690};

// Every command button, at its row's left edge.
inline constexpr int kCommandButtonTop = -15;
inline constexpr QSize kCommandButton{1800, 315};
inline constexpr QRect kRecordGrid{-30, 330, 14400, 960};
inline constexpr QRect kBrowserPanel{-105, 1365, 14790, 5820};
inline constexpr QRect kStatusBar{0, 7170, 16260, 315};
inline constexpr int kStatusPanelMinWidth = 1440;

// The browser panel's parts, within the panel, until the window's first layout pass replaces them.
inline constexpr QSize kPanel{9210, 2010};
inline constexpr QRect kPanelUrlBox{4995, 60, 4095, 315};
inline constexpr QRect kPanelBrowser{45, 435, 8925, 1305};
inline constexpr QPoint kPanelFirstTool{105, 60};

// The browser panel's parts as laid out for any panel size: the tool buttons from the corner, the URL
// box a fifth of a button past them (8.2 button widths in) up to a margin, the browser below.
inline constexpr QSize kToolButton{600, 315};
inline constexpr int kUrlBoxLeft = kToolButton.width() * 82 / 10;
inline constexpr int kUrlBoxTop = 60;
inline constexpr int kUrlBoxHeight = 220;
inline constexpr int kUrlBoxRightMargin = 20;
inline constexpr int kBrowserTop = 330;
inline constexpr int kBrowserBottomMargin = 15;

} // namespace WindowDesign

// Places a widget at a rectangle of twips within its parent, at the widget's logical DPI. The place and
// the size are converted each on its own, as the window always placed its parts.
void placeInTwips(QWidget &widget, const QRect &twips);
