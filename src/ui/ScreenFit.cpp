#include "ui/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

QRect ScreenFit::fitted(const QRect &outer, const QList<QRect> &areas)
{
    if (areas.isEmpty())
        return outer;
    const auto overlap = [&outer](const QRect &area) {
        const QRect common = area.intersected(outer);
        return qint64(common.width()) * common.height();
    };
    const QRect area = *std::max_element(
        areas.begin(), areas.end(), [&](const QRect &a, const QRect &b) { return overlap(a) < overlap(b); });
    const QSize size = outer.size().boundedTo(area.size());
    const int left = std::clamp(outer.left(), area.left(), area.left() + area.width() - size.width());
    const int top = std::clamp(outer.top(), area.top(), area.top() + area.height() - size.height());
    return QRect(QPoint(left, top), size);
}

QList<QRect> ScreenFit::screenAreas()
{
    QList<QRect> areas;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        areas.append(primary->availableGeometry());
    for (const QScreen *screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            areas.append(screen->availableGeometry());
    return areas;
}
