#pragma once

#include <QSize>

// Geometry is kept in twips (1/1440 inch), as the stored settings are; it becomes pixels only at the
// widget boundary, with the screen's logical DPI (15 twips a pixel at 96 DPI).
class Twips {
public:
    static constexpr int PerInch = 1440;

    // Results beyond what an int holds saturate: stored numbers come from a file and may be anything.
    static int toPixels(int twips, qreal logicalDpi);
    static int fromPixels(int pixels, qreal logicalDpi);
    static QSize toPixels(const QSize &twips, qreal logicalDpiX, qreal logicalDpiY);
};
