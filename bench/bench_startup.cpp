// How fast the program comes up, side by side in one run with its yardsticks, each start a fresh
// process timed by this one from the moment it starts it, so that loading the libraries counts:
//   widgets  bench_bare_window: a bare window holding a one-row table, linked with Qt Widgets alone;
//   bare     the same window in a program linked like ours (Qt WebEngine loaded, which also has Qt
//            create its shared OpenGL context at start);
//   web      a bare QWebEngineView program showing the map page;
//   main     the program itself: its services built as the program builds them (postal data loading
//            on its thread, settings, the CP932 table, clipboard and message box), serving a
//            request whose map URL is the map page.
// The map page is a real page of some weight, served from 127.0.0.1 by this process.
//
//   bench_startup            7 rounds of the four, alternately; prints medians and ratios
//   bench_startup KIND BASE  one start against the page server at BASE; prints "shown <ms>" when a
//                            window is first exposed (again for every native window made anew),
//                            "recreated" when the main window's native window changes, "browser
//                            <ms>" when the page has loaded
#include "address/PostalCompleterFactory.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "settings/SettingsDocument.h"
#include "ui/BrowserPanel.h"
#include "ui/CandidateDialog.h"
#include "ui/MainWindow.h"
#include "ui/PlainMessageBox.h"
#include "ui/SystemClipboard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWebEngineView>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <future>
#include <utility>

namespace {

QElapsedTimer sinceStart;

double nowMs()
{
    return double(sinceStart.nsecsElapsed()) / 1e6;
}

void say(const char *what, bool withTime = true)
{
    if (withTime)
        std::printf("%s %.1f\n", what, nowMs());
    else
        std::printf("%s\n", what);
    std::fflush(stdout);
}

// A map page of some weight: markup, a style sheet, a script that builds a grid of tiles.
QByteArray mapPage()
{
    QByteArray page = "<!DOCTYPE html><html lang='ja'><head><meta charset='utf-8'><title>地図</title><style>"
                      "body{margin:0;font-family:sans-serif}.t{float:left;width:64px;height:64px;"
                      "background:linear-gradient(#cde,#9bd);border:1px solid #fff}</style></head><body>"
                      "<h1>東京都千代田区千代田</h1><div id='m'></div><script>"
                      "var m=document.getElementById('m');for(var i=0;i<400;i++){var d=document."
                      "createElement('div');d.className='t';d.textContent=i;m.appendChild(d);}</script>";
    for (int i = 0; i < 200; ++i)
        page += "<p>地図の説明 " + QByteArray::number(i) + "</p>";
    return page + "</body></html>";
}

// Serves the map page on its own thread, so that it answers while this process waits on a child.
class PageServer : public QThread {
public:
    quint16 start()
    {
        QThread::start();
        return m_port.get_future().get();
    }
    ~PageServer() override
    {
        quit();
        wait();
    }

private:
    void run() override
    {
        QTcpServer server;
        const QByteArray body = mapPage();
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, body] {
                    if (!socket->readAll().contains("\r\n\r\n"))
                        return; // the whole head fits in one read for the engine's requests
                    socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                                  "Content-Length: " +
                                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_port.set_value(server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0);
        exec();
    }

    std::promise<quint16> m_port;
};

// Says "shown" at every first exposure of a native window of w, and "recreated" when w's native
// window is replaced after it was first shown.
class ExposeWatch : public QObject {
public:
    explicit ExposeWatch(QWidget *w, std::function<void()> firstShown = {})
        : m_widget(w), m_firstShown(std::move(firstShown))
    {
        w->installEventFilter(this);
        m_poll.setInterval(1);
        connect(&m_poll, &QTimer::timeout, this, [this] {
            if (m_widget->windowHandle() && m_widget->windowHandle()->isExposed()) {
                m_poll.stop();
                m_shownId = m_widget->internalWinId();
                say("shown");
                if (!std::exchange(m_shown, true) && m_firstShown)
                    m_firstShown();
            }
        });
        m_poll.start();
    }

private:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Qt also reports a change when the id it had is merely set again.
        if (event->type() == QEvent::WinIdChange && m_shown && m_widget->internalWinId() != m_shownId &&
            m_widget->internalWinId() != 0) {
            m_shownId = m_widget->internalWinId();
            say("recreated", false);
            m_poll.start();
        }
        return QObject::eventFilter(watched, event);
    }

    QWidget *m_widget;
    std::function<void()> m_firstShown;
    QTimer m_poll;
    bool m_shown = false;
    WId m_shownId = 0;
};

int runMain(const QString &page)
{
    // As Startup builds them, less what needs a user: the user data folder is a fresh one.
    QTemporaryDir dir;
    const Cp932Table codec;
    const FileSystem files(codec);
    PlainMessageBox messages;
    SystemClipboard clipboard;
    SettingsDocument settings(files, &messages);
    settings.read(dir.filePath(QStringLiteral("User.xml")));
    CandidateDialog chooser;
    PostalCompleterFactory completers(
        chooser, [](const QString &) {}, files, PostalCompleterFactory::defaultDataPath(), dir.path() + u'/');
    auto window = std::make_unique<MainWindow>(
        MainWindow::Services{&messages, &clipboard, &codec, &completers, &settings, nullptr});
    const ExposeWatch watch(window.get());
    // Watched once the engine is up; the panel has asked for the request's page by then.
    QObject::connect(window->browserPanel(), &BrowserPanel::engineReady, window.get(), [&] {
        QObject::connect(window->browserPanel()->webView(), &QWebEngineView::loadFinished, window.get(),
                         [&](bool ok) {
                             if (!ok || window->browserPanel()->pageUrl() != page)
                                 return;
                             say("browser");
                             // Late re-creations would show in the meantime.
                             QTimer::singleShot(300, window.get(), [&] { window->run(Command::Close); });
                         });
    });
    window->serveRequest(QStringLiteral("VelmoraA\t\t\t\t%1\t%1").arg(page));
    window->shutDown();
    return 0;
}

int runOne(int argc, char **argv, const QString &kind, const QString &base)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QString page = base + QStringLiteral("/maps/@35.6851,139.7527,16z");
    if (kind == QLatin1String("main")) {
        qputenv("VELMORA_MAP_BASE", base.toLatin1());
        return runMain(page);
    }
    if (kind == QLatin1String("web")) {
        QWebEngineView view;
        view.resize(1000, 500);
        QObject::connect(&view, &QWebEngineView::loadFinished, [](bool ok) {
            if (ok)
                say("browser");
            QCoreApplication::quit();
        });
        view.load(QUrl(page));
        view.show();
        return app.exec();
    }
    QTableWidget table(1, 4);
    table.show();
    const ExposeWatch watch(&table, [] { QCoreApplication::quit(); });
    return app.exec();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Figures {
    std::vector<double> firstShown, lastShown, browser;
    int recreated = 0;
};

// One start of a kind; the times are those at which this process read each line.
void startOne(const QString &program, const QStringList &args, Figures &f)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    p.start(program, args);
    QByteArray out;
    double first = -1, last = -1;
    bool recreated = false;
    while (p.state() != QProcess::NotRunning || p.bytesAvailable()) {
        if (!p.waitForReadyRead(60000) && p.state() == QProcess::NotRunning && !p.bytesAvailable())
            break;
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        out += p.readAll();
        while (out.contains('\n')) {
            const QByteArray line = out.left(out.indexOf('\n'));
            out.remove(0, line.size() + 1);
            if (line.startsWith("shown")) {
                if (first < 0)
                    first = ms;
                last = ms;
            } else if (line.startsWith("recreated")) {
                recreated = true;
            } else if (line.startsWith("browser")) {
                f.browser.push_back(ms);
            }
        }
    }
    p.waitForFinished(60000);
    f.recreated += recreated ? 1 : 0;
    if (first >= 0) {
        f.firstShown.push_back(first);
        f.lastShown.push_back(last);
    }
}

int runAll(const QString &self)
{
    PageServer server;
    const quint16 port = server.start();
    if (port == 0) {
        std::fprintf(stderr, "no port on 127.0.0.1 for the map page\n");
        return 1;
    }
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);
    constexpr int rounds = 7;
    Figures widgets, bare, web, main;
    for (int round = 0; round < rounds; ++round) {
        startOne(QStringLiteral(BARE_WINDOW), {}, widgets);
        startOne(self, {QStringLiteral("bare"), base}, bare);
        startOne(self, {QStringLiteral("web"), base}, web);
        startOne(self, {QStringLiteral("main"), base}, main);
    }
    const double q = median(widgets.firstShown), b = median(bare.firstShown);
    const double first = median(main.firstShown), last = median(main.lastShown);
    const double w = median(web.browser), m = median(main.browser);
    std::printf("bare window, Qt Widgets only:   %7.1f ms\n", q);
    std::printf("bare window, linked like ours:  %7.1f ms\n", b);
    std::printf("main window first shown:        %7.1f ms  %.2f x the first, %.2f x the second\n", first,
                q > 0 ? first / q : 0, b > 0 ? first / b : 0);
    std::printf("main window shown for good:     %7.1f ms  %.2f x the first, %.2f x the second\n", last,
                q > 0 ? last / q : 0, b > 0 ? last / b : 0);
    std::printf("window made anew:               %d of %d starts\n", main.recreated, rounds);
    std::printf("bare QWebEngineView, page:      %7.1f ms\n", w);
    std::printf("main window, page:              %7.1f ms  %.2f x the bare view\n", m, w > 0 ? m / w : 0);
    std::printf("(medians of %d starts each, from process start; the page from %s)\n", rounds,
                qPrintable(base));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    sinceStart.start();
    if (argc > 2)
        return runOne(argc, argv, QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    return runAll(QCoreApplication::applicationFilePath());
}
