#pragma once

#include <QRect>
#include <optional>

class QWidget;
class SettingsDocument;

// The window's place and size as the settings keep them: the outer rectangle, frame included. Restored
// fitted to today's screens; since the frame is known only once a window manager has put one around
// the shown window, the stored size is made the outer one then, so that the window neither grows nor
// shrinks by its frame from one start to the next.
class StoredPlacement {
public:
    // settings null: the window keeps its design's place and nothing is saved.
    StoredPlacement(QWidget &window, SettingsDocument *settings);

    // Before the first show. Without a stored place, the design's place and size are brought onto the
    // screen: at a large scale factor the design is wider than a screen.
    void restore(double dpi);
    // At every show, move and resize: fits the stored rectangle once the frame is known.
    void fitToFrame(bool shownOnce);
    // Writes the window's outer rectangle back to the settings file.
    void save(double dpi);
    // Nothing more is saved.
    void forget() { m_settings = nullptr; }

private:
    QWidget &m_window;
    SettingsDocument *m_settings;
    // The stored outer rectangle in pixels, fitted to the screens, until its size has been made the
    // outer one.
    std::optional<QRect> m_storedRect;
};
