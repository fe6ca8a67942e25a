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

} // namespace

int Twips::toPixels(int twips, qreal logicalDpi)
{
    return pixelsOf(twips, logicalDpi);
}

int Twips::fromPixels(int pixels, qreal logicalDpi)
{
    return twipsOf(pixels, logicalDpi);
}

QSize Twips::toPixels(const QSize &twips, qreal logicalDpiX, qreal logicalDpiY)
{
    return QSize(toPixels(twips.width(), logicalDpiX), toPixels(twips.height(), logicalDpiY));
}
