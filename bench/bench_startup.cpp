// How fast the program answers a person who starts it, side by side in one run with its yardsticks.
// Every start is a fresh process started by exec and timed by this one from that moment, so loading
// the libraries counts; the programs are driven on the X display from outside, as a person would:
// keys typed through XTEST, and what counts is what the screen shows (the window's pixels read back).
//
//   widgets    bench_bare_window: a one-row table that answers F4, linked with Qt Widgets alone;
//   table      the same table in a program linked like ours (Qt WebEngine loaded, which also has Qt
//              create its shared OpenGL context at start);
//   table+web  that table over a web view showing a blank page, the engine started with the window;
//   velmora    the real program, with fresh user folders (no settings, no web cache);
//   web        a bare QWebEngineView program showing the map page;
//   in-process the program's window built here as the program builds it, serving a request whose map
//              URL is the map page, timed to the page's load as the engine reports it.
// The map page is a real page of some weight, served from 127.0.0.1 by this process.
//
// Each start is one of:
//   typed   "1000001" and F4 typed the moment the window is mapped, until the address cell shows the
//           address;
//   idle    the window left alone for 2 s, the last change of its pixels meanwhile being when it was
//           shown for good; then the code typed and F4, until the address is shown;
//   MapKey  (velmora only) the window left alone for 2 s, a code typed, then F6, until the map page
//           is shown (F5 and F6 search nothing on an empty record);
//   page    velmora serving a request whose map URL is the map page, or the bare view, until the page
//           is shown.
// What "the address is shown" and "the page is shown" look like is read from one start of each
// program before the rounds.
//
//   bench_startup [--rounds N] [--program PATH] [--against PATH]
//                N rounds of every start, alternated (7); PATH the velmora to time (the one built
//                beside this), and another build to time beside it, line for line
//   bench_startup KIND BASE
//                one start of a yardstick against the page server
//
// Run it on an X display of its own (Xvfb); QTWEBENGINE_DISABLE_SANDBOX=1 where the sandbox cannot run.
#include "BareTable.h"
#include "PageServer.h"
#include "XDisplayDriver.h"

#include "address/BackgroundPostalLoader.h"
#include "app/RequestSession.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "platform/SystemClipboard.h"
#include "platform/SystemSpecialFolders.h"
#include "settings/SettingsDocument.h"
#include "ui/BrowserPanel.h"
#include "ui/MainWindow.h"
#include "ui/PlainMessageBox.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>
#include <map>

namespace {

QElapsedTimer sinceStart;

void say(const char *what)
{
    std::printf("%s %.1f\n", what, double(sinceStart.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
}

QString pageOf(const QString &base)
{
    return base + QStringLiteral("/maps/@35.6851,139.7527,16z");
}

// The program's window in this process, serving a request for the map page.
int runInProcess(const QString &page)
{
    QTemporaryDir dir;
    const Cp932Table codec;
    const FileSystem files(codec);
    PlainMessageBox messages;
    SystemClipboard clipboard;
    SettingsDocument settings(files, &messages);
    settings.read(dir.filePath(QStringLiteral("User.xml")));
    BackgroundPostalLoader completers([](const QString &) {}, files,
                                      BackgroundPostalLoader::defaultDataPath(), dir.path() + u'/');
    auto window = std::make_unique<MainWindow>(
        MainWindow::Services{&messages, &clipboard, &completers, nullptr, &settings, nullptr});
    // Watched once the engine is up; the panel has asked for the request's page by then.
    QObject::connect(window->browserPanel(), &BrowserPanel::engineReady, window.get(), [&] {
        QObject::connect(window->browserPanel()->webView(), &QWebEngineView::loadFinished, window.get(),
                         [&](bool ok) {
                             if (ok && window->browserPanel()->pageUrl() == page)
                                 say("browser");
                         });
    });
    const QString request = dir.filePath(QStringLiteral("benchVelmo.txt"));
    files.writeText(request, QStringLiteral("VelmoraA\t\t\t\t%1\t%1").arg(page));
    const SystemSpecialFolders folders;
    RequestSession session(files, folders, messages);
    if (session.open(request) == RequestSession::Opened::Ready)
        session.serve(*window);
    window->shutDown();
    return 0;
}

int runYardstick(int argc, char **argv, const QString &kind, const QString &base)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (kind == QLatin1String("in-process")) {
        qputenv("VELMORA_MAP_BASE", base.toLatin1());
        return runInProcess(pageOf(base));
    }
    QWidget window;
    window.resize(1084, 499); // the program's window
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    if (kind != QLatin1String("web"))
        layout->addWidget(makeBareTable(), 1);
    if (kind != QLatin1String("table")) {
        auto *view = new QWebEngineView(&window);
        layout->addWidget(view, 4);
        QObject::connect(view, &QWebEngineView::loadFinished, [](bool ok) {
            if (ok)
                say("browser");
        });
        view->load(QUrl(kind == QLatin1String("web") ? pageOf(base) : QStringLiteral("about:blank")));
    }
    window.show();
    return app.exec();
}

// What one start of each kind is timed by, and what it saw.
struct Looks {
    QRect addressRect;
    QByteArray address;
    QRect pageRect;
    QByteArray page;
};

struct Figures {
    std::vector<double> mapped, typed, shownForGood, mapKey, f4, page, loaded;
    int starts = 0, laterWindows = 0, failed = 0;
};

QRect pageProbe(const QRect &window)
{
    return {window.width() / 10, window.height() * 55 / 100, window.width() / 2, window.height() * 35 / 100};
}

class Bench {
public:
    Bench(QString velmora, QString against, QString yardstick, QString base)
        : m_velmora(std::move(velmora)), m_against(std::move(against)), m_self(std::move(yardstick)),
          m_base(std::move(base))
    {
        m_clock.start();
        m_x.setClock(&m_clock);
    }
    bool isReady() const { return m_x.isOpen(); }

    // Against: another build of the program, timed alike.
    enum class Kind {
        Widgets,
        Table,
        TableWeb,
        Velmora,
        VelmoraRequest,
        Against,
        AgainstRequest,
        Web,
        InProcess
    };
    static bool isProgram(Kind k) { return k == Kind::Velmora || k == Kind::Against; }
    static bool isRequest(Kind k) { return k == Kind::VelmoraRequest || k == Kind::AgainstRequest; }
    enum class Run { Learn, Typed, Idle, MapKey, Page };

    // One start of a kind; false if what it should show did not come.
    bool start(Kind kind, Run run, Looks &looks, Figures &f)
    {
        QTemporaryDir home;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *folder : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
            env.insert(QLatin1String(folder), home.path());
        env.insert(QStringLiteral("VELMORA_MAP_BASE"), m_base);
        p.setProcessEnvironment(env);
        p.setStandardErrorFile(QProcess::nullDevice());
        QString program = m_self;
        QStringList args;
        switch (kind) {
        case Kind::Widgets:
            program = QStringLiteral(BARE_WINDOW);
            break;
        case Kind::Table:
            args = {QStringLiteral("table"), m_base};
            break;
        case Kind::TableWeb:
            args = {QStringLiteral("table+web"), m_base};
            break;
        case Kind::Web:
            args = {QStringLiteral("web"), m_base};
            break;
        case Kind::InProcess:
            args = {QStringLiteral("in-process"), m_base};
            break;
        case Kind::Velmora:
        case Kind::Against:
            program = kind == Kind::Velmora ? m_velmora : m_against;
            break;
        case Kind::VelmoraRequest:
        case Kind::AgainstRequest: {
            program = kind == Kind::VelmoraRequest ? m_velmora : m_against;
            const QString request = home.filePath(QStringLiteral("benchVelmo.txt"));
            QFile file(request);
            if (!file.open(QIODevice::WriteOnly) ||
                file.write("VelmoraA\t\t\t\t" + pageOf(m_base).toLatin1() + '\t' +
                           pageOf(m_base).toLatin1()) < 0)
                return false;
            args = {request};
            break;
        }
        }
        const double started = m_clock.nsecsElapsed() / 1e6;
        p.start(program, args);
        p.waitForStarted();
        m_x.watch(p.processId());
        const auto readLoaded = [&] {
            if (p.waitForReadyRead(0) && p.readAll().contains("browser"))
                f.loaded.push_back(m_x.now() - started);
        };
        bool ok = m_x.waitUntil([&] { return m_x.window() != 0; }, 60000);
        if (ok) {
            f.mapped.push_back(m_x.mappedAt() - started);
            ok = follow(kind, run, started, looks, f, readLoaded);
        }
        m_x.pause(300); // a window made anew late would show meanwhile
        ++f.starts;
        f.laterWindows += m_x.laterWindows();
        f.failed += ok ? 0 : 1;
        p.terminate();
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished(10000);
        }
        return ok;
    }

private:
    bool showsAddress(const Looks &looks) { return m_x.grab(looks.addressRect) == looks.address; }
    bool showsPage(const Looks &looks) { return m_x.grab(looks.pageRect) == looks.page; }

    bool follow(Kind kind, Run run, double started, Looks &looks, Figures &f,
                const std::function<void()> &readLoaded)
    {
        m_x.focus();
        const QList<QByteArray> code{"1", "0", "0", "0", "0", "0", "1"};
        switch (run) {
        case Run::Typed:
            m_x.type(code + QList<QByteArray>{"F4"});
            if (!m_x.waitUntil([&] { return showsAddress(looks); }, 15000))
                return false;
            f.typed.push_back(m_x.now() - started);
            return true;
        case Run::Page: {
            const size_t loadedBefore = f.loaded.size();
            const auto loaded = [&] { return readLoaded(), f.loaded.size() > loadedBefore; };
            if (kind == Kind::InProcess)
                return m_x.waitUntil(loaded, 30000);
            if (!m_x.waitUntil(
                    [&] {
                        readLoaded();
                        return showsPage(looks);
                    },
                    30000))
                return false;
            f.page.push_back(m_x.now() - started);
            m_x.waitUntil(loaded, kind == Kind::Web ? 5000 : 0);
            return true;
        }
        case Run::Learn:
            if (kind == Kind::Web || isRequest(kind)) {
                m_x.pause(4000);
                looks.pageRect = pageProbe(m_x.windowRect());
                looks.page = m_x.grab(looks.pageRect);
                return !looks.page.isEmpty();
            }
            break;
        case Run::Idle:
        case Run::MapKey:
            break;
        }
        // Left alone for 2 s: when did the window last change?
        const QRect whole = m_x.windowRect();
        QByteArray last = m_x.grab(whole);
        double lastChange = m_x.mappedAt();
        m_x.waitUntil(
            [&] {
                QByteArray now = m_x.grab(whole);
                if (now != last) {
                    lastChange = m_x.now();
                    last = std::move(now);
                }
                return m_x.now() - m_x.mappedAt() >= 2000;
            },
            5000);
        if (run == Run::Learn)
            return learn(kind, looks, whole, last);
        if (run == Run::MapKey) {
            m_x.type(code);
            const double pressed = m_x.now();
            m_x.type({"F6"});
            if (!m_x.waitUntil([&] { return showsPage(looks); }, 30000))
                return false;
            f.mapKey.push_back(m_x.now() - pressed);
            return true;
        }
        f.shownForGood.push_back(lastChange - started);
        m_x.type(code);
        m_x.pause(500);
        const double pressed = m_x.now();
        m_x.type({"F4"});
        if (!m_x.waitUntil([&] { return showsAddress(looks); }, 15000))
            return false;
        f.f4.push_back(m_x.now() - pressed);
        return true;
    }

    // Reads what the address and the map page look like on screen, following the idle start's steps.
    bool learn(Kind kind, Looks &looks, const QRect &whole, const QByteArray &before)
    {
        m_x.type({"1", "0", "0", "0", "0", "0", "1"});
        m_x.pause(800);
        const QByteArray typed = m_x.grab(whole);
        m_x.type({"F4"});
        m_x.pause(800);
        const QByteArray searched = m_x.grab(whole);
        // Typing may change more than the cell (a button enabled), and so may F4; the row that both
        // change is the record's, and the address is what F4 put right of the typed code there.
        const QList<QPoint> byTyping = differingPixels(before, typed, whole);
        const QList<QPoint> bySearch = differingPixels(typed, searched, whole);
        QSet<int> searchRows;
        for (const QPoint &p : bySearch)
            searchRows.insert(p.y());
        int codeRight = -1;
        for (const QPoint &p : byTyping)
            if (searchRows.contains(p.y()))
                codeRight = std::max(codeRight, p.x());
        QSet<int> codeRows;
        for (const QPoint &p : byTyping)
            if (searchRows.contains(p.y()))
                codeRows.insert(p.y());
        looks.addressRect = {};
        for (const QPoint &p : bySearch)
            if (codeRows.contains(p.y()) && p.x() > codeRight + 4)
                looks.addressRect |= QRect(p, QSize(1, 1));
        looks.address = m_x.grab(looks.addressRect);
        if (codeRight < 0 || looks.addressRect.isEmpty())
            return false;
        if (isProgram(kind)) {
            looks.pageRect = pageProbe(whole);
            const QByteArray blank = m_x.grab(looks.pageRect);
            m_x.type({"F5"});
            m_x.pause(4000);
            looks.page = m_x.grab(looks.pageRect);
            return looks.page != blank;
        }
        return true;
    }

    QElapsedTimer m_clock;
    XDisplayDriver m_x;
    QString m_velmora, m_against, m_self, m_base;
};

struct Spread {
    double min = 0, median = 0, max = 0;
};

Spread spread(std::vector<double> v)
{
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2], v.back()};
}

void line(const char *what, const std::vector<double> &values, const std::vector<double> *anchor = nullptr)
{
    const Spread s = spread(values);
    std::printf("  %-40s %7.1f %7.1f %7.1f", what, s.min, s.median, s.max);
    if (anchor && !anchor->empty() && !values.empty())
        std::printf("   %.2f x", s.median / spread(*anchor).median);
    std::printf("\n");
}

int runAll(const QString &self, const QString &velmora, const QString &against, int rounds)
{
    PageServer server;
    const quint16 port = server.start();
    if (port == 0) {
        std::fprintf(stderr, "no port on 127.0.0.1 for the map page\n");
        return 1;
    }
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);
    Bench bench(velmora, against, self, base);
    if (!bench.isReady()) {
        std::fprintf(stderr, "no X display (set DISPLAY; Xvfb will do)\n");
        return 1;
    }
    using Kind = Bench::Kind;
    using Run = Bench::Run;
    std::vector<std::pair<Kind, std::vector<Run>>> plan = {{Kind::Widgets, {Run::Typed, Run::Idle}},
                                                           {Kind::Table, {Run::Typed, Run::Idle}},
                                                           {Kind::TableWeb, {Run::Typed, Run::Idle}},
                                                           {Kind::Velmora, {Run::Typed, Run::Idle, Run::MapKey}},
                                                           {Kind::VelmoraRequest, {Run::Page}},
                                                           {Kind::Web, {Run::Page}},
                                                           {Kind::InProcess, {Run::Page}}};
    if (!against.isEmpty()) {
        plan.insert(plan.begin() + 5, {Kind::AgainstRequest, {Run::Page}});
        plan.insert(plan.begin() + 4, {Kind::Against, {Run::Typed, Run::Idle, Run::MapKey}});
    }
    std::map<Kind, Looks> looks;
    std::map<Kind, Figures> figures;
    for (const auto &[kind, runs] : plan) {
        Figures ignored;
        if (kind != Kind::InProcess && !bench.start(kind, Run::Learn, looks[kind], ignored)) {
            std::fprintf(stderr, "could not learn what kind %d shows\n", int(kind));
            return 1;
        }
    }
    for (int round = 0; round < rounds; ++round)
        for (const auto &[kind, runs] : plan)
            for (const Run run : runs)
                bench.start(kind, run, looks[kind], figures[kind]);

    const Figures &w = figures[Kind::Widgets], &t = figures[Kind::Table], &tw = figures[Kind::TableWeb],
                  &v = figures[Kind::Velmora], &vr = figures[Kind::VelmoraRequest], &web = figures[Kind::Web],
                  &in = figures[Kind::InProcess], &a = figures[Kind::Against],
                  &ar = figures[Kind::AgainstRequest];
    const bool other = !against.isEmpty();
    std::printf("ms from exec                                  min  median     max   median against the "
                "table linked like ours\n");
    // One figure for each program that shows the table, against the anchor's.
    const auto tableRows = [&](const char *title, std::vector<double> Figures::*figure,
                               const Figures &anchor) {
        std::printf("%s\n", title);
        line("table, Qt Widgets only", w.*figure, &(anchor.*figure));
        line("table, linked like ours", t.*figure, &(anchor.*figure));
        line("table with a web view", tw.*figure, &(anchor.*figure));
        line("velmora", v.*figure, &(anchor.*figure));
        if (other)
            line("velmora, the other build", a.*figure, &(anchor.*figure));
    };
    tableRows("window mapped", &Figures::mapped, t);
    tableRows("1000001 and F4 typed at once, until the address shows", &Figures::typed, t);
    tableRows("left alone: the window's last change (shown for good)", &Figures::shownForGood, t);
    std::printf("ms from the key                              min  median     max   median against the "
                "Widgets table\n");
    tableRows("F4 on a window left alone 2 s, until the address shows", &Figures::f4, w);
    std::printf("F6 with a code typed on a window left alone 2 s, until the map page shows\n");
    line("velmora", v.mapKey);
    if (other)
        line("velmora, the other build", a.mapKey, &v.mapKey);
    std::printf("ms from exec                                  min  median     max   median against the bare "
                "view\n");
    std::printf("the map page of a request shown\n");
    line("bare QWebEngineView", web.page, &web.page);
    line("velmora serving a request", vr.page, &web.page);
    if (other)
        line("the other build serving it", ar.page, &web.page);
    std::printf("the map page of a request loaded, as the engine tells\n");
    line("bare QWebEngineView", web.loaded, &web.loaded);
    line("the window in this process", in.loaded, &web.loaded);
    std::printf(
        "velmora's window made anew: %d of %d starts; starts that did not show what they should: %d\n",
        v.laterWindows + vr.laterWindows + a.laterWindows + ar.laterWindows,
        v.starts + vr.starts + a.starts + ar.starts,
        w.failed + t.failed + tw.failed + v.failed + vr.failed + a.failed + ar.failed + web.failed +
            in.failed);
    std::printf("(%d rounds, the starts alternated; the page from %s; velmora %s%s%s)\n", rounds,
                qPrintable(base), qPrintable(velmora), other ? ", the other build " : "",
                qPrintable(against));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    sinceStart.start();
    if (argc == 3 && argv[1][0] != '-')
        return runYardstick(argc, argv, QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    int rounds = 7;
    QString velmora = QStringLiteral(VELMORA_PROGRAM), against;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--rounds"))
            rounds = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--program"))
            velmora = args[i + 1];
        else if (args[i] == QLatin1String("--against"))
            against = args[i + 1];
    }
    return runAll(QCoreApplication::applicationFilePath(), velmora, against, rounds);
}
