// How fast the window appears: the main window against a bare Qt window holding a one-row table,
// side by side in one run, each in fresh processes; and how long until the browser is ready.
//
//   bench_startup            runs the three kinds alternately (7 rounds) and prints medians and ratios
//   bench_startup bare|main  one start; prints "shown <ms>" (and "browser <ms>" for main); with
//                            BENCH_TRACE set, also when the application and the window were made
// Two yardsticks: the bare window in a program linked like ours (Qt WebEngine loaded, which also has
// Qt create its shared OpenGL context at start), and bench_bare_window, linked with Qt Widgets alone.
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "core/MessageSink.h"
#include "settings/SettingsDocument.h"
#include "ui/BrowserPanel.h"
#include "ui/ClipboardSource.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <QWindow>
#include <algorithm>
#include <cstdio>

namespace {

QElapsedTimer sinceStart;

class NullMessages : public MessageSink {
public:
    void show(const QString &) override {}
};

class NullClipboard : public ClipboardSource {
public:
    void startNotices(std::function<void()>) override {}
    void stopNotices() override {}
    bool hasText() const override { return false; }
    std::optional<QString> text() const override { return std::nullopt; }
    bool putText(const QString &) override { return true; }
};

// Calls back once the widget's window has been exposed and painted.
void whenExposed(QWidget *w, std::function<void()> done)
{
    auto *timer = new QTimer(w);
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, w, [w, timer, done] {
        if (w->windowHandle() && w->windowHandle()->isExposed()) {
            timer->stop();
            done();
        }
    });
    timer->start();
}

int runOne(int argc, char **argv, const QString &kind)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (kind == QLatin1String("bare")) {
        QTableWidget table(1, 4);
        table.show();
        whenExposed(&table, [] {
            std::printf("shown %.1f\n", double(sinceStart.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            QCoreApplication::quit();
        });
        return app.exec();
    }
    QTemporaryDir dir;
    NullMessages messages;
    NullClipboard clipboard;
    Cp932Table codec;
    const FileSystem files(codec);
    SettingsDocument settings(files, &messages);
    settings.read(dir.filePath(QStringLiteral("User.xml")));
    if (qEnvironmentVariableIsSet("BENCH_TRACE"))
        std::fprintf(stderr, "app %.1f\n", double(sinceStart.nsecsElapsed()) / 1e6);
    auto window = std::make_unique<MainWindow>(
        MainWindow::Services{&messages, &clipboard, &codec, nullptr, &settings, nullptr});
    if (qEnvironmentVariableIsSet("BENCH_TRACE"))
        std::fprintf(stderr, "constructed %.1f\n", double(sinceStart.nsecsElapsed()) / 1e6);
    window->show();
    if (qEnvironmentVariableIsSet("BENCH_TRACE"))
        std::fprintf(stderr, "show called %.1f\n", double(sinceStart.nsecsElapsed()) / 1e6);
    whenExposed(window.get(), [&] {
        std::printf("shown %.1f\n", double(sinceStart.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    });
    QObject::connect(window->browserPanel(), &BrowserPanel::engineReady, window.get(), [&] {
        QObject::connect(window->browserPanel()->webView(), &QWebEngineView::loadFinished, window.get(), [] {
            std::printf("browser %.1f\n", double(sinceStart.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    });
    const int rc = app.exec();
    window.reset();
    return rc;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

int runBoth(const QString &self)
{
    // Timed from the parent, from the start of the process, so that loading the libraries counts.
    std::vector<double> widgetsOnly, bare, shown, browser;
    for (int round = 0; round < 7; ++round) {
        for (const QString &kind :
             {QStringLiteral("widgets"), QStringLiteral("bare"), QStringLiteral("main")}) {
            QProcess p;
            QElapsedTimer clock;
            clock.start();
            if (kind == QLatin1String("widgets"))
                p.start(QStringLiteral(BARE_WINDOW), {});
            else
                p.start(self, {kind});
            QByteArray out;
            while (p.state() != QProcess::NotRunning || p.bytesAvailable()) {
                if (!p.waitForReadyRead(60000) && p.state() == QProcess::NotRunning && !p.bytesAvailable())
                    break;
                const double ms = double(clock.nsecsElapsed()) / 1e6;
                out += p.readAll();
                while (out.contains('\n')) {
                    const QByteArray line = out.left(out.indexOf('\n'));
                    out.remove(0, line.size() + 1);
                    if (kind == QLatin1String("widgets"))
                        widgetsOnly.push_back(ms);
                    else if (kind == QLatin1String("bare"))
                        bare.push_back(ms);
                    else if (line.startsWith("shown"))
                        shown.push_back(ms);
                    else if (line.startsWith("browser"))
                        browser.push_back(ms);
                }
            }
            p.waitForFinished(60000);
        }
    }
    const double q = median(widgetsOnly), b = median(bare), m = median(shown), w = median(browser);
    std::printf("bare window, Qt Widgets only:   %7.1f ms (median of %zu)\n", q, widgetsOnly.size());
    std::printf("bare window, linked like ours:  %7.1f ms (median of %zu)\n", b, bare.size());
    std::printf(
        "main window shown:              %7.1f ms (median of %zu), %.2f x the first, %.2f x the second\n", m,
        shown.size(), q > 0 ? m / q : 0, b > 0 ? m / b : 0);
    std::printf("browser ready:                  %7.1f ms after start, %7.1f ms after the window\n", w,
                w - m);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    sinceStart.start();
    if (argc > 1)
        return runOne(argc, argv, QString::fromLocal8Bit(argv[1]));
    QCoreApplication app(argc, argv);
    return runBoth(QCoreApplication::applicationFilePath());
}
