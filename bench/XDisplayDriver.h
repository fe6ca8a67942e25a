#pragma once

// Drives programs on an X display from outside, as a person at the keyboard would: sees their windows
// appear, types through the XTEST extension (as xdotool does), and reads back what the screen shows.
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QPoint>
#include <QRect>

#include <functional>

struct _XDisplay;

class XDisplayDriver {
public:
    XDisplayDriver();
    ~XDisplayDriver();
    XDisplayDriver(const XDisplayDriver &) = delete;
    XDisplayDriver &operator=(const XDisplayDriver &) = delete;

    bool isOpen() const { return m_display != nullptr; }
    // Forgets the windows seen so far; watches for the next program's.
    void watch(qint64 pid);
    // Handles what the display has told; a window of the watched program that is mapped counts once.
    void update();
    // The first top-level window of the program mapped, 0 before; how many more were mapped after it.
    unsigned long window() const { return m_window; }
    int laterWindows() const { return m_laterWindows; }
    // Milliseconds on the caller's clock when the first window was mapped.
    double mappedAt() const { return m_mappedAt; }

    // Runs update() until done() holds or ms have passed; false if they passed.
    bool waitUntil(const std::function<bool()> &done, int ms);
    void pause(int ms)
    {
        waitUntil([] { return false; }, ms);
    }

    void focus();
    // Presses and releases each key (an X keysym name such as "1" or "F4"), pausing between them.
    void type(const QList<QByteArray> &keys, int pauseMs = 10);

    QRect windowRect() const;
    // The pixels of part of the window, row after row; empty if it cannot be read.
    QByteArray grab(const QRect &rect) const;

    void setClock(const QElapsedTimer *clock) { m_clock = clock; }
    double now() const;

private:
    _XDisplay *m_display = nullptr;
    const QElapsedTimer *m_clock = nullptr;
    qint64 m_pid = 0;
    unsigned long m_window = 0;
    int m_laterWindows = 0;
    double m_mappedAt = -1;
};

// The pixels where two grabs of the same rectangle differ, and their bounding rectangle.
QList<QPoint> differingPixels(const QByteArray &a, const QByteArray &b, const QRect &within);
QRect differingRect(const QByteArray &a, const QByteArray &b, const QRect &within);
