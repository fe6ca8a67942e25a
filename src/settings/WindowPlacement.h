#pragma once

#include <QRect>

class SettingsDocument;

// The main window's outer rectangle in twips, kept in the settings group "位置" under the keys TOP,
// LEFT, WIDTH and HEIGHT.
struct WindowPlacement {
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;

    // Missing or unreadable keys, and numbers no screen could hold, read as 0; numbers are rounded
    // half to even.
    static WindowPlacement readFrom(const SettingsDocument &settings);
    void writeTo(SettingsDocument &settings) const;

    // The place of an outer rectangle in pixels at the screen's logical DPI. Earlier versions stored no
    // place left of or above the screen's corner, so neither is this one: such a place is stored as 0.
    static WindowPlacement fromPixels(const QRect &outer, double logicalDpi);
    // The outer rectangle in pixels at the screen's logical DPI, not yet fitted to any screen.
    QRect toPixels(double logicalDpi) const;

    // Without a size the window keeps its design's place and size.
    bool hasSize() const { return width > 0 && height > 0; }
};
