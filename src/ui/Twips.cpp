#include "ui/Twips.h"

#include <QtMath>

int Twips::toPixels(int twips, qreal logicalDpi)
{
    return qRound(twips * logicalDpi / PerInch);
}

int Twips::fromPixels(int pixels, qreal logicalDpi)
{
    return logicalDpi > 0 ? qRound(pixels * PerInch / logicalDpi) : 0;
}

QRect Twips::toPixels(const QRect &twips, qreal logicalDpiX, qreal logicalDpiY)
{
    const int left = toPixels(twips.x(), logicalDpiX);
    const int top = toPixels(twips.y(), logicalDpiY);
    const int right = toPixels(twips.x() + twips.width(), logicalDpiX);
    const int bottom = toPixels(twips.y() + twips.height(), logicalDpiY);
    return QRect(left, top, right - left, bottom - top);
}

QRect Twips::fromPixels(const QRect &pixels, qreal logicalDpiX, qreal logicalDpiY)
{
    const int left = fromPixels(pixels.x(), logicalDpiX);
    const int top = fromPixels(pixels.y(), logicalDpiY);
    const int right = fromPixels(pixels.x() + pixels.width(), logicalDpiX);
    const int bottom = fromPixels(pixels.y() + pixels.height(), logicalDpiY);
    return QRect(left, top, right - left, bottom - top);
}

QSize Twips::toPixels(const QSize &twips, qreal logicalDpiX, qreal logicalDpiY)
{
    return QSize(toPixels(twips.width(), logicalDpiX), toPixels(twips.height(), logicalDpiY));
}

QSize Twips::fromPixels(const QSize &pixels, qreal logicalDpiX, qreal logicalDpiY)
{
    return QSize(fromPixels(pixels.width(), logicalDpiX), fromPixels(pixels.height(), logicalDpiY));
}
