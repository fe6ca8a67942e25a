#include "core/Twips.h"

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

// Edges are converted, not sizes, so that rectangles that touch on one side touch on the other.
QRect convertEdges(const QRect &r, qreal dpiX, qreal dpiY, int (*convert)(double, qreal))
{
    const int left = convert(r.x(), dpiX);
    const int top = convert(r.y(), dpiY);
    const int right = convert(double(r.x()) + r.width(), dpiX);
    const int bottom = convert(double(r.y()) + r.height(), dpiY);
    return QRect(left, top, roundToInt(double(right) - left), roundToInt(double(bottom) - top));
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
    return convertEdges(twips, logicalDpiX, logicalDpiY, &pixelsOf);
}

QRect Twips::fromPixels(const QRect &pixels, qreal logicalDpiX, qreal logicalDpiY)
{
    return convertEdges(pixels, logicalDpiX, logicalDpiY, &twipsOf);
}

QSize Twips::toPixels(const QSize &twips, qreal logicalDpiX, qreal logicalDpiY)
{
    return QSize(toPixels(twips.width(), logicalDpiX), toPixels(twips.height(), logicalDpiY));
}

QSize Twips::fromPixels(const QSize &pixels, qreal logicalDpiX, qreal logicalDpiY)
{
    return QSize(fromPixels(pixels.width(), logicalDpiX), fromPixels(pixels.height(), logicalDpiY));
}
