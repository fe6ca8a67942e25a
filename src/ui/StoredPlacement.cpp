#include "ui/StoredPlacement.h"

#include "settings/SettingsDocument.h"
#include "settings/WindowPlacement.h"
#include "ui/ScreenFit.h"

#include <QWidget>
#include <QWindow>

StoredPlacement::StoredPlacement(QWidget &window, SettingsDocument *settings)
    : m_window(window), m_settings(settings)
{
}

void StoredPlacement::restore(double dpi)
{
    const std::optional<WindowPlacement> placement =
        m_settings ? std::optional(WindowPlacement::readFrom(*m_settings)) : std::nullopt;
    if (!placement || !placement->hasSize()) {
        // A design too large for the screen is fitted whole, frame included, once the frame is known.
        const QRect design = m_window.geometry();
        const QRect fitted = ScreenFit::fitted(design, ScreenFit::screenAreas());
        if (fitted != design) {
            m_storedRect = fitted;
            m_window.setGeometry(fitted);
        }
        return;
    }
    const QRect outer = ScreenFit::fitted(placement->toPixels(dpi), ScreenFit::screenAreas());
    m_storedRect = outer;
    m_window.move(outer.topLeft());
    m_window.resize(outer.size());
}

void StoredPlacement::fitToFrame(bool shownOnce)
{
    // Without a window manager there is no frame and the size is right as it is.
    if (!m_storedRect || !shownOnce || !m_window.windowHandle())
        return;
    const QMargins frame = m_window.windowHandle()->frameMargins();
    // While the window manager is still wrapping the window, Qt may see a frame of 1 x 1 pixels around
    // it, which makes the margins negative: no frame to go by yet.
    if (frame.isNull() || frame.left() < 0 || frame.top() < 0 || frame.right() < 0 || frame.bottom() < 0)
        return;
    // The place too: the window's position as Qt last heard it may be from before the frame came, and a
    // resize alone would move the window there. Set as the inner rectangle, from the frame just read:
    // a move() would go by the frame the widget last heard of, which may still be none.
    const QRect outer = *m_storedRect;
    m_storedRect.reset();
    m_window.setGeometry(outer.marginsRemoved(frame));
}

void StoredPlacement::save(double dpi)
{
    if (!m_settings)
        return;
    WindowPlacement::fromPixels(m_window.frameGeometry(), dpi).writeTo(*m_settings);
    m_settings->write();
}
