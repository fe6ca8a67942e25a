#include "XDisplayDriver.h"

#include <QThread>
#include <cstring>

// Xlib's macros (Bool, Status) clash with Qt's headers: it comes after them.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// libXtst's own header is not installed with its library on every system; this is its one call used.
extern "C" int XTestFakeKeyEvent(Display *display, unsigned int keycode, Bool isPress, unsigned long delay);

namespace {

qint64 windowPid(Display *display, Window window)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None)
        return 0;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    qint64 pid = 0;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && count == 1 && format == 32)
        pid = qint64(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return pid;
}

int ignoreErrors(Display *, XErrorEvent *)
{
    return 0; // a window read back after it went: the grab comes back empty
}

} // namespace

XDisplayDriver::XDisplayDriver() : m_display(XOpenDisplay(nullptr))
{
    if (!m_display)
        return;
    XSetErrorHandler(ignoreErrors);
    XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
    XFlush(m_display);
}

XDisplayDriver::~XDisplayDriver()
{
    if (m_display)
        XCloseDisplay(m_display);
}

double XDisplayDriver::now() const
{
    return m_clock ? double(m_clock->nsecsElapsed()) / 1e6 : 0;
}

void XDisplayDriver::watch(qint64 pid)
{
    update();
    m_pid = pid;
    m_window = 0;
    m_laterWindows = 0;
    m_mappedAt = -1;
}

void XDisplayDriver::update()
{
    while (XPending(m_display)) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.type != MapNotify || event.xmap.override_redirect || m_pid == 0)
            continue;
        const Window w = event.xmap.window;
        if (windowPid(m_display, w) != m_pid || w == m_window)
            continue;
        if (m_window == 0) {
            m_window = w;
            m_mappedAt = now();
        } else {
            ++m_laterWindows;
        }
    }
}

bool XDisplayDriver::waitUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer limit;
    limit.start();
    for (;;) {
        update();
        if (done())
            return true;
        if (limit.elapsed() >= ms)
            return false;
        QThread::usleep(500);
    }
}

void XDisplayDriver::focus()
{
    if (!m_window)
        return;
    XSetInputFocus(m_display, m_window, RevertToParent, CurrentTime);
    XSync(m_display, False);
}

void XDisplayDriver::type(const QList<QByteArray> &keys, int pauseMs)
{
    for (const QByteArray &key : keys) {
        const KeyCode code = XKeysymToKeycode(m_display, XStringToKeysym(key.constData()));
        XTestFakeKeyEvent(m_display, code, True, 0);
        XTestFakeKeyEvent(m_display, code, False, 0);
        XFlush(m_display);
        if (pauseMs > 0 && &key != &keys.back())
            pause(pauseMs);
    }
}

QRect XDisplayDriver::windowRect() const
{
    XWindowAttributes a{};
    if (!m_window || !XGetWindowAttributes(m_display, m_window, &a))
        return {};
    return {0, 0, a.width, a.height};
}

QByteArray XDisplayDriver::grab(const QRect &rect) const
{
    if (!m_window || rect.isEmpty())
        return {};
    XImage *image = XGetImage(m_display, m_window, rect.x(), rect.y(), unsigned(rect.width()),
                              unsigned(rect.height()), AllPlanes, ZPixmap);
    if (!image)
        return {};
    QByteArray pixels;
    if (image->bits_per_pixel == 32) {
        const int row = rect.width() * 4;
        pixels.resize(qsizetype(row) * rect.height());
        for (int y = 0; y < rect.height(); ++y)
            std::memcpy(pixels.data() + qsizetype(y) * row,
                        image->data + qsizetype(y) * image->bytes_per_line, size_t(row));
    }
    XDestroyImage(image);
    return pixels;
}

QList<QPoint> differingPixels(const QByteArray &a, const QByteArray &b, const QRect &within)
{
    QList<QPoint> found;
    if (a.size() != b.size() || a.size() != qsizetype(within.width()) * within.height() * 4)
        return found;
    const auto *pa = reinterpret_cast<const quint32 *>(a.constData());
    const auto *pb = reinterpret_cast<const quint32 *>(b.constData());
    for (int y = 0; y < within.height(); ++y)
        for (int x = 0; x < within.width(); ++x) {
            const qsizetype i = qsizetype(y) * within.width() + x;
            // The alpha byte is whatever the server left there.
            if ((pa[i] & 0xffffffu) != (pb[i] & 0xffffffu))
                found.append(within.topLeft() + QPoint(x, y));
        }
    return found;
}

QRect differingRect(const QByteArray &a, const QByteArray &b, const QRect &within)
{
    QRect found;
    for (const QPoint &p : differingPixels(a, b, within))
        found |= QRect(p, QSize(1, 1));
    return found;
}
