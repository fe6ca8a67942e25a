// Times reading Japan Post's files. With a folder of Japan Post's downloads, the real files: each read
// into the records list, and (where the reader offers it) handed record by record to a sink, with the
// CPU time and the peak memory each takes. Without one, loading the town file where its conventions pile
// up: one town continued over many lines, and one town under many codes (each key's chain of towns),
// then one address search for it; both should grow linearly with the number of lines.
//
//   bench_kenall [folder with ken_all.zip, utf_ken_all.zip and jigyosyo.zip [part of a case name]]
//
// Prints "case figures" lines. Peak memory is Linux's: the peak is reset before each case.
#include "address/AddressMatcher.h"
#include "address/JapanPostReader.h"
#include "address/PostalDirectory.h"
#include "address/PostalDirectoryLoader.h"
#include "address/ZipEntryReader.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"

#include <QFile>
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
        text += row(0, QStringLiteral("町"), PostalDirectory::prefectureName(p));
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

// Runs the case a few times; prints its best CPU time and the memory its first run took above what was
// resident before it (the input bytes included, as they are held while reading).
const char *g_only = ""; // runs only the cases whose name holds this

void measure(const char *name, const std::function<qsizetype()> &run)
{
    if (!std::strstr(name, g_only))
        return;
    resetPeak();
    const long before = statusKiB("VmRSS:");
    double best = 1e9;
    qsizetype records = 0;
    for (int i = 0; i < 7; ++i) {
        const double start = cpuSeconds();
        records = run();
        best = std::min(best, cpuSeconds() - start);
        if (i == 0)
            std::printf("%-28s peak +%6.1f MB", name, double(statusKiB("VmHWM:") - before) / 1024.0);
    }
    std::printf("  cpu %7.2f ms  %lld records\n", best * 1e3, static_cast<long long>(records));
}

int realFiles(const QString &folder)
{
    const Cp932Table codec;
    auto zipped = [&folder](const char *zip) {
        QFile file(folder + u'/' + QLatin1String(zip));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray kenAllZip = zipped("ken_all.zip"), utfZip = zipped("utf_ken_all.zip"),
                     jigyosyoZip = zipped("jigyosyo.zip");
    constexpr qint64 kMax = 1 << 26;
    const QByteArray kenAll =
        ZipEntryReader::read(kenAllZip, QStringLiteral("KEN_ALL.CSV"), kMax).value_or("");
    const QByteArray utf = ZipEntryReader::read(utfZip, QStringLiteral("utf_ken_all.csv"), kMax).value_or("");
    const QByteArray jigyosyo =
        ZipEntryReader::read(jigyosyoZip, QStringLiteral("JIGYOSYO.CSV"), kMax).value_or("");
    if (kenAll.isEmpty() || utf.isEmpty() || jigyosyo.isEmpty()) {
        std::fprintf(stderr, "cannot read Japan Post's zips in %s\n", qPrintable(folder));
        return 1;
    }
    measure("unzip KEN_ALL", [&] {
        return ZipEntryReader::read(kenAllZip, QStringLiteral("KEN_ALL.CSV"), kMax).value_or("").size();
    });
    // What the index builder does with each record is left out: its own figures are bench_postal's.
    qsizetype records = 0;
    const JapanPostReader::Sink countRecords = [&records](const PostalRecordView &) { ++records; };
    auto counted = [&records](bool ok) { return ok ? std::exchange(records, 0) : qsizetype(-1); };
    measure("KEN_ALL sink",
            [&] { return counted(JapanPostReader::readKenAllCp932(kenAll, codec, countRecords)); });
    measure("ken_all.zip sink", [&] {
        const auto bytes = ZipEntryReader::read(kenAllZip, QStringLiteral("KEN_ALL.CSV"), kMax);
        return counted(bytes && JapanPostReader::readKenAllCp932(*bytes, codec, countRecords));
    });
    measure("utf_ken_all sink", [&] { return counted(JapanPostReader::readKenAllUtf8(utf, countRecords)); });
    measure("JIGYOSYO sink",
            [&] { return counted(JapanPostReader::readJigyosyo(jigyosyo, codec, countRecords)); });
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2)
        g_only = argv[2];
    return argc > 1 ? realFiles(QString::fromLocal8Bit(argv[1])) : syntheticCases();
}
