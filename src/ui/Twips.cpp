#include "ui/Twips.h"

#include <QtMath>
#include <limits>

namespace {

// Saturates instead of overflowing: stored numbers are the user's file's and may be anything.
int roundToInt(double value)
{
    if (qIsNaN(value))
        return 0;
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    return int(qBound(lowest, std::round(value), highest));
}

int pixelsOf(double twips, qreal logicalDpi)
{
    return roundToInt(twips * logicalDpi / Twips::PerInch);
}

int twipsOf(double pixels, qreal logicalDpi)
{
    return logicalDpi > 0 ? roundToInt(pixels * Twips::PerInch / logicalDpi) : 0;
}

} // namespace

int Twips::toPixels(int twips, qreal logicalDpi)
{
    return pixelsOf(twips, logicalDpi);
}

int Twips::fromPixels(int pixels, qreal logicalDpi)
{
    return twipsOf(pixels, logicalDpi);
}

QRect Twips::toPixels(const QRect &twips, qreal logicalDpiX, qreal logicalDpiY)
{
    const int left = toPixels(twips.x(), logicalDpiX);
    const int top = toPixels(twips.y(), logicalDpiY);
    const int right = pixelsOf(double(twips.x()) + twips.width(), logicalDpiX);
    const int bottom = pixelsOf(double(twips.y()) + twips.height(), logicalDpiY);
    return QRect(left, top, roundToInt(double(right) - left), roundToInt(double(bottom) - top));
}

QRect Twips::fromPixels(const QRect &pixels, qreal logicalDpiX, qreal logicalDpiY)
{
    const int left = fromPixels(pixels.x(), logicalDpiX);
    const int top = fromPixels(pixels.y(), logicalDpiY);
    const int right = twipsOf(double(pixels.x()) + pixels.width(), logicalDpiX);
    const int bottom = twipsOf(double(pixels.y()) + pixels.height(), logicalDpiY);
    return QRect(left, top, roundToInt(double(right) - left), roundToInt(double(bottom) - top));
}

QSize Twips::toPixels(const QSize &twips, qreal logicalDpiX, qreal logicalDpiY)
{
    return QSize(toPixels(twips.width(), logicalDpiX), toPixels(twips.height(), logicalDpiY));
}

QSize Twips::fromPixels(const QSize &pixels, qreal logicalDpiX, qreal logicalDpiY)
{
    return QSize(fromPixels(pixels.width(), logicalDpiX), fromPixels(pixels.height(), logicalDpiY));
}
