#pragma once

#include <QList>
#include <QRect>

// Brings a stored window rectangle onto the screens there are now: a monitor unplugged since, or a
// stored size beyond any screen, must not open the window where the user cannot see or reach it.
class ScreenFit {
public:
    // The outer rectangle moved, and shrunk where it is larger, so that it lies wholly on the screen it
    // overlaps most (the first area when it overlaps none); a rectangle that lies on a screen already
    // stays as it is. areas: each screen's area free of task bars, the primary screen's first.
    static QRect fitted(const QRect &outer, const QList<QRect> &areas);
    // The screens' available areas now, the primary screen's first.
    static QList<QRect> screenAreas();
};
