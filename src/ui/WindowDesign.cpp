#include "ui/WindowDesign.h"

#include "core/Twips.h"

#include <QWidget>

void placeInTwips(QWidget &widget, const QRect &twips)
{
    const qreal x = widget.logicalDpiX();
    const qreal y = widget.logicalDpiY();
    widget.setGeometry(Twips::toPixels(twips.x(), x), Twips::toPixels(twips.y(), y),
                       Twips::toPixels(twips.width(), x), Twips::toPixels(twips.height(), y));
}
