// Times reading Japan Post's files. With a folder of Japan Post's downloads, the real files: unzipped,
// and read through the reader, which hands each record to a sink, with the CPU time and the peak memory
// each takes. Without one, loading the town file where its conventions pile
// up: one town continued over many lines, and one town under many codes (each key's chain of towns),
// then one address search for it; both should grow linearly with the number of lines.
//
//   bench_kenall [--benchmark_min_time=SECONDS] [folder with ken_all.zip, utf_ken_all.zip and
//                jigyosyo.zip [part of a case name]]
//
// Prints a line per case: the peak memory its first run took above what it held before (Linux's
// figure; each case runs in a process of its own, so no case inherits another's memory), its best CPU
// time, and what it gave (bytes unzipped or records read). Each case runs for at least the time given
// (half a second by default), spelt as Debian's Google Benchmark spells its flag.
#include "address/AddressMatcher.h"
#include "address/JapanPostReader.h"
#include "address/PostalDirectory.h"
#include "address/PostalDirectoryLoader.h"
#include "address/Prefectures.h"
#include "address/ZipEntryReader.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <utility>

namespace {

QByteArray row(int code, const QString &town, QStringView prefecture = u"東京都")
{
    return QStringLiteral(
               "13101,\"100  "
               "\",\"%1\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ﾁﾖﾀﾞ\",\"%3\",\"千代田区\",\"%2\",0,0,0,0,0,0\r\n")
        .arg(code, 7, 10, QLatin1Char('0'))
        .arg(town, prefecture)
        .toUtf8();
}

// A line for each prefecture after the case's own: a file that leaves one out is refused as cut short.
QByteArray withWholeCountry(QByteArray text)
{
    for (int p = 1; p <= 47; ++p)
        text += row(0, QStringLiteral("町"), Prefectures::name(p));
    return text;
}

// One town whose bracket stays open over all the lines.
QByteArray continued(int lines)
{
    QByteArray text = row(1000001, QStringLiteral("千代田（"));
    for (int i = 1; i < lines - 1; ++i)
        text += row(1000001, QStringLiteral("%1番地、").arg(i));
    return withWholeCountry(text + row(1000001, QStringLiteral("）")));
}

// One town under as many codes as lines.
QByteArray sameTown(int lines)
{
    QByteArray text;
    for (int i = 0; i < lines; ++i)
        text += row(1000000 + i, QStringLiteral("千代田"));
    return withWholeCountry(text);
}

int syntheticCases()
{
    const Cp932Table codec;
    const FileSystem files(codec);
    const struct {
        const char *name;
        QByteArray (*make)(int);
    } cases[] = {{"continued", continued}, {"same-town", sameTown}};
    for (const auto &c : cases) {
        for (int lines : {5000, 10000, 20000, 40000}) {
            QTemporaryDir dir;
            QFile file(dir.filePath(QStringLiteral("utf_ken_all.csv")));
            if (!file.open(QIODevice::WriteOnly) || file.write(c.make(lines)) < 0)
                return 1;
            file.close();
            const auto start = std::chrono::steady_clock::now();
            const PostalLoadResult result = PostalDirectoryLoader::load(files, QString(), dir.path());
            const auto found =
                AddressMatcher::match(*result.directory, QStringLiteral("東京都千代田区千代田1-1")).entries;
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("%s %d %.3f s (%lld found)\n", c.name, lines, seconds,
                        static_cast<long long>(found.size()));
        }
    }
    return 0;
}

// CPU time: on a machine shared with builds, wall time mostly measures the others.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

long statusKiB(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::char_traits<char>::length(field)));
    return 0;
}

// The peak of resident memory set back to what is resident now (Linux; elsewhere no peak is told).
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// What a case gives back, and what that number counts.
struct Count {
    qsizetype n = 0;
    const char *unit = "records";
};

struct Options {
    QString folder;
    QByteArray only;         // the cases whose name holds this
    double minSeconds = 0.5; // each case runs at least this long, and at least 3 times
    QString self;
};

// Runs the case until minSeconds have passed; prints its best CPU time and the memory its first run
// took above what was resident before it (its input held in memory counted before, not in it).
void measure(const char *name, const Options &options, const std::function<Count()> &run)
{
    resetPeak();
    const long before = statusKiB("VmRSS:");
    double best = 1e9, total = 0;
    Count count;
    for (int i = 0; i < 3 || total < options.minSeconds; ++i) {
        const double start = cpuSeconds();
        count = run();
        const double spent = cpuSeconds() - start;
        best = std::min(best, spent);
        total += spent;
        if (i == 0)
            std::printf("%-20s peak +%6.1f MB", name, double(statusKiB("VmHWM:") - before) / 1024.0);
    }
    std::printf("  cpu %7.2f ms  %lld %s\n", best * 1e3, static_cast<long long>(count.n), count.unit);
    std::fflush(stdout);
}

QByteArray fileBytes(const Options &options, const char *name)
{
    QFile file(options.folder + u'/' + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One case, in a process of its own, so that its memory figure owes nothing to the cases run before.
int realCase(const Options &options)
{
    const Cp932Table codec;
    constexpr qint64 kMax = 1 << 26;
    const auto unzip = [&](const QByteArray &zip, const char *entry) {
        return ZipEntryReader::read(zip, QLatin1String(entry), kMax).value_or("");
    };
    qsizetype records = 0;
    const JapanPostReader::Sink countRecords = [&records](const PostalRecordView &) { ++records; };
    auto counted = [&records](bool ok) { return Count{ok ? std::exchange(records, 0) : -1}; };
    const QByteArray name = options.only;
    if (name == "unzip KEN_ALL") {
        const QByteArray zip = fileBytes(options, "ken_all.zip");
        measure(name.constData(), options, [&] {
            return Count{unzip(zip, "KEN_ALL.CSV").size(), "bytes unzipped"};
        });
    } else if (name == "ken_all.zip sink") {
        const QByteArray zip = fileBytes(options, "ken_all.zip");
        measure(name.constData(), options, [&] {
            return counted(JapanPostReader::readKenAllCp932(unzip(zip, "KEN_ALL.CSV"), codec, countRecords));
        });
    } else {
        // What the index builder does with each record is left out: its own figures are bench_postal's.
        const bool utf = name == "utf_ken_all sink", business = name == "JIGYOSYO sink";
        const QByteArray text = utf        ? unzip(fileBytes(options, "utf_ken_all.zip"), "utf_ken_all.csv")
                                : business ? unzip(fileBytes(options, "jigyosyo.zip"), "JIGYOSYO.CSV")
                                           : unzip(fileBytes(options, "ken_all.zip"), "KEN_ALL.CSV");
        if (text.isEmpty() || (!utf && !business && name != "KEN_ALL sink"))
            return 1;
        measure(name.constData(), options, [&] {
            return counted(utf        ? JapanPostReader::readKenAllUtf8(text, countRecords)
                           : business ? JapanPostReader::readJigyosyo(text, codec, countRecords)
                                      : JapanPostReader::readKenAllCp932(text, codec, countRecords));
        });
    }
    return 0;
}

int realFiles(const Options &options)
{
    std::printf("%-20s %-15s  %-14s  %s\n", "case", "peak memory", "best CPU time", "what it gave");
    std::fflush(stdout);
    for (const char *name :
         {"unzip KEN_ALL", "KEN_ALL sink", "ken_all.zip sink", "utf_ken_all sink", "JIGYOSYO sink"}) {
        if (!QByteArray(name).contains(options.only))
            continue;
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(options.self, {options.folder, QStringLiteral("--case=") + QLatin1String(name),
                                   QStringLiteral("--benchmark_min_time=%1").arg(options.minSeconds)});
        if (!child.waitForFinished(-1) || child.exitCode() != 0) {
            std::fprintf(stderr, "cannot read Japan Post's zips in %s\n", qPrintable(options.folder));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Options options;
    options.self = QCoreApplication::applicationFilePath();
    bool oneCase = false;
    for (const QString &arg : app.arguments().mid(1)) {
        // Spelt as Google Benchmark spells it: seconds, with or without the "s" newer versions want.
        if (arg.startsWith(QLatin1String("--benchmark_min_time="))) {
            QString value = arg.section(u'=', 1);
            if (value.endsWith(u's'))
                value.chop(1);
            options.minSeconds = value.toDouble();
        } else if (arg.startsWith(QLatin1String("--case="))) {
            options.only = arg.section(u'=', 1).toUtf8();
            oneCase = true;
        } else if (options.folder.isEmpty()) {
            options.folder = arg;
        } else {
            options.only = arg.toUtf8();
        }
    }
    if (options.folder.isEmpty())
        return syntheticCases();
    return oneCase ? realCase(options) : realFiles(options);
}
