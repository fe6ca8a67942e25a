// Times the postal-code directory: loading, code → address, address → code, and its memory.
//
//   bench_postal <postal.dat> <file of codes, one per line> [folder with Japan Post's zips]
//
// With Japan Post's own files the address search meets their notes (chome ranges, buildings, Kyoto
// streets), which the shipped data lacks.
//
// Prints one line per figure, "name value unit", so that compare.sh can put them beside node's.
#include "address/AddressMatcher.h"
#include "address/PostalDirectoryLoader.h"
#include "address/PostalText.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// CPU time of this thread: on a machine shared with builds, wall time mostly measures the others.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: bench_postal <postal.dat> <codes file> [Japan Post folder]\n");
        return 2;
    }
    const QString dataPath = QString::fromLocal8Bit(argv[1]);
    const Cp932Table codec;
    const FileSystem files(codec);
    QFile codesFile(QString::fromLocal8Bit(argv[2]));
    if (!codesFile.open(QIODevice::ReadOnly | QIODevice::Text))
        return 2;
    QStringList codes;
    for (const QByteArray &line : codesFile.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            codes.append(QString::fromLatin1(line.trimmed()));

    // Load: the first load also gives the memory it takes; then the best of several.
    const long rssBefore = residentKiB();
    auto start = Clock::now();
    const QString userFolder = argc == 4 ? QString::fromLocal8Bit(argv[3]) : QString();
    PostalLoadResult loaded = PostalDirectoryLoader::load(files, dataPath, userFolder);
    const double firstLoad = secondsSince(start);
    const long rssAfter = residentKiB();
    if (!loaded.messages.isEmpty() || loaded.directory->entryCount() == 0) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    double bestLoad = firstLoad;
    double bestLoadCpu = 1e9;
    for (int i = 0; i < 15; ++i) {
        start = Clock::now();
        const double cpu = cpuSeconds();
        const PostalLoadResult again = PostalDirectoryLoader::load(files, dataPath, userFolder);
        bestLoad = std::min(bestLoad, secondsSince(start));
        bestLoadCpu = std::min(bestLoadCpu, cpuSeconds() - cpu);
    }
    const PostalDirectory &directory = *loaded.directory;

    // Code → address: the typed code read, looked up and the address text made, as the address search does.
    std::size_t sink = 0;
    std::size_t found = 0;
    for (const QString &code : codes) { // warm
        const PostalDirectory::Entries entries = directory.find(*PostalText::parseCode(code));
        found += entries.isEmpty() ? 0 : 1;
    }
    constexpr int kRounds = 50;
    double cpuStart = cpuSeconds();
    for (int round = 0; round < kRounds; ++round)
        for (const QString &code : codes) {
            const PostalDirectory::Entries entries = directory.find(PostalText::parseCode(code).value_or(0));
            if (!entries.isEmpty())
                sink += std::size_t(entries.front().address().size());
        }
    const double codeNs = (cpuSeconds() - cpuStart) * 1e9 / (double(kRounds) * double(codes.size()));

    // Address → code: the town's address with a block number after it.
    QStringList addresses;
    for (const QString &code : codes) {
        const PostalDirectory::Entries entries = directory.find(*PostalText::parseCode(code));
        if (!entries.isEmpty() && !entries.front().isBusiness)
            addresses.append(entries.front().address() + QStringLiteral("１丁目２－３"));
    }
    constexpr int kAddressRounds = 5;
    std::size_t matched = 0;
    cpuStart = cpuSeconds();
    for (int round = 0; round < kAddressRounds; ++round)
        for (const QString &address : addresses) {
            const PostalDirectory::Entries entries = AddressMatcher::match(directory, address);
            matched += entries.isEmpty() ? 0 : 1;
            sink += std::size_t(entries.size());
        }
    const double addressUs = (cpuSeconds() - cpuStart) * 1e6 /
                             (double(kAddressRounds) * double(std::max<qsizetype>(1, addresses.size())));

    std::printf("entries %lld\n", static_cast<long long>(directory.entryCount()));
    std::printf("codes_found %zu of %lld\n", found, static_cast<long long>(codes.size()));
    std::printf("load_first_ms %.2f\n", firstLoad * 1e3);
    std::printf("load_best_ms %.2f (cpu %.2f)\n", bestLoad * 1e3, bestLoadCpu * 1e3);
    std::printf("memory_counted_MB %.2f\n", double(directory.memoryBytes()) / (1024.0 * 1024.0));
    std::printf("memory_rss_delta_MB %.2f\n", double(rssAfter - rssBefore) / 1024.0);
    std::printf("code_to_address_ns %.1f (cpu time)\n", codeNs);
    std::printf("address_to_code_us %.3f (cpu time; %zu of %lld matched)\n", addressUs,
                matched / kAddressRounds, static_cast<long long>(addresses.size()));
    std::printf("sink %zu\n", sink);
    return 0;
}
