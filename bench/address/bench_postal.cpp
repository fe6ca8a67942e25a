// Times the postal-code directory: opening the shipped index, building one from the user's own Japan
// Post files and opening it again from its cache, code → address, address → code, and memory.
//
//   bench_postal <postal.idx> <folder of Japan Post's zips> <file of codes, one per line>
//
// Prints one line per figure, "name value unit", so that compare.sh can put them beside node's.
// Times are CPU time of this thread (on a machine shared with builds, wall time mostly measures the
// others), the best of several runs where a run is short.
#include "address/AddressMatcher.h"
#include "address/PostalDirectoryLoader.h"
#include "address/PostalIndexWriter.h"
#include "address/PostalText.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "core/MappedFile.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Minor page faults of this thread (none counted where /proc is missing): fresh memory costs one a page.
long minorFaults()
{
    std::ifstream stat("/proc/thread-self/stat");
    std::string line;
    std::getline(stat, line);
    // The fields after the command's closing bracket: state is the 3rd field, minflt the 10th.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 10 && fields >> field; ++i) {
    }
    return field.empty() ? 0 : std::stol(field);
}

// Best CPU time of several runs, in milliseconds.
double bestMs(int runs, const std::function<void()> &run)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const double start = cpuSeconds();
        run();
        best = std::min(best, cpuSeconds() - start);
    }
    return best * 1e3;
}

// A field of a /proc file, in KiB.
long kiB(const char *file, const std::string &field)
{
    std::ifstream status(file);
    std::string line;
    long total = 0;
    while (std::getline(status, line))
        if (line.rfind(field + ':', 0) == 0)
            total += std::stol(line.substr(field.size() + 1));
    return total;
}
// Proportional and private memory of the process, mapped pages included (a mapped file's pages count as
// soon as they are touched), as the node side counts its own.
struct Memory {
    long pss = 0, priv = 0;
};
Memory memory()
{
    const char *file = "/proc/self/smaps_rollup";
    return {kiB(file, "Pss"), kiB(file, "Private_Clean") + kiB(file, "Private_Dirty")};
}

void printMemory(const char *name, const Memory &after, const Memory &before)
{
    std::printf("%s pss %.2f private %.2f\n", name, double(after.pss - before.pss) / 1024.0,
                double(after.priv - before.priv) / 1024.0);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_postal <postal.idx> <folder of Japan Post's zips> <codes file>\n");
        return 2;
    }
    const QString indexPath = QString::fromLocal8Bit(argv[1]);
    const QString downloads = QString::fromLocal8Bit(argv[2]);
    const Cp932Table codec;
    const FileSystem files(codec);
    QFile codesFile(QString::fromLocal8Bit(argv[3]));
    if (!codesFile.open(QIODevice::ReadOnly | QIODevice::Text))
        return 2;
    QStringList codes;
    for (const QByteArray &line : codesFile.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            codes.append(QString::fromLatin1(line.trimmed()));

    // Open: the first open also gives the memory it takes.
    const Memory memoryBefore = memory();
    double cpu = cpuSeconds();
    PostalLoadResult loaded = PostalDirectoryLoader::load(files, indexPath, QString());
    const double firstOpenMs = (cpuSeconds() - cpu) * 1e3;
    const Memory memoryOpen = memory();
    if (!loaded.messages.isEmpty() || loaded.directory->entryCount() == 0) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const double openMs = bestMs(20, [&] { PostalDirectoryLoader::load(files, indexPath, QString()); });
    const PostalDirectory &directory = *loaded.directory;

    // Code → address: the typed code read, looked up and the address text made, as the address search does.
    std::size_t sink = 0;
    std::size_t found = 0;
    for (const QString &code : codes)
        found += directory.find(PostalText::parseCode(code).value_or(0)).isEmpty() ? 0 : 1;
    constexpr int kRounds = 50;
    cpu = cpuSeconds();
    for (int round = 0; round < kRounds; ++round)
        for (const QString &code : codes) {
            const PostalDirectory::Entries entries = directory.find(PostalText::parseCode(code).value_or(0));
            if (!entries.isEmpty())
                sink += std::size_t(entries.front().address().size());
        }
    const double codeNs = (cpuSeconds() - cpu) * 1e9 / (double(kRounds) * double(codes.size()));
    // Before anything else takes memory: only the look-ups have touched pages since the open.
    const Memory memoryLookups = memory();

    // The index made again from the records of the shipped one: the writer's share of a first load.
    const double writeMs = bestMs(3, [&] {
        PostalIndexWriter writer({});
        writer.addFrom(*loaded.directory, false);
        writer.addFrom(*loaded.directory, true);
        if (writer.finish().isEmpty())
            std::fprintf(stderr, "no index made\n");
    });

    // The user's KEN_ALL and JIGYOSYO as downloaded: the first start builds and caches, later ones open.
    QTemporaryDir user;
    for (const char *zip : {"ken_all.zip", "jigyosyo.zip"})
        QFile::copy(QDir(downloads).filePath(QString::fromLatin1(zip)),
                    user.filePath(QString::fromLatin1(zip)));
    const QString cache = QDir(user.path()).filePath(PostalDirectoryLoader::cacheFileName());
    const long faultsBefore = minorFaults();
    const double buildMs = bestMs(3, [&] {
        QFile::remove(cache);
        if (PostalDirectoryLoader::load(files, indexPath, user.path()).directory->entryCount() == 0)
            std::fprintf(stderr, "the user's files give nothing\n");
    });
    const long buildFaults = (minorFaults() - faultsBefore) / 3;
    const double cachedMs = bestMs(20, [&] { PostalDirectoryLoader::load(files, indexPath, user.path()); });

    // Address → code: the town's address with a block number after it.
    QStringList addresses;
    for (const QString &code : codes) {
        const PostalDirectory::Entries entries = directory.find(PostalText::parseCode(code).value_or(0));
        if (!entries.isEmpty() && !entries.front().isBusiness)
            addresses.append(entries.front().address() + QStringLiteral("１丁目２－３"));
    }
    constexpr int kAddressRounds = 5;
    std::size_t matched = 0;
    cpu = cpuSeconds();
    for (int round = 0; round < kAddressRounds; ++round)
        for (const QString &address : addresses) {
            const PostalDirectory::Entries entries = AddressMatcher::match(directory, address).entries;
            matched += entries.isEmpty() ? 0 : 1;
            sink += std::size_t(entries.size());
        }
    const double addressUs = (cpuSeconds() - cpu) * 1e6 /
                             (double(kAddressRounds) * double(std::max<qsizetype>(1, addresses.size())));

    std::printf("entries %lld\n", static_cast<long long>(directory.entryCount()));
    std::printf("index_file_MB %.2f\n", double(QFile(indexPath).size()) / (1024.0 * 1024.0));
    std::printf("codes_found %zu of %lld\n", found, static_cast<long long>(codes.size()));
    std::printf("open_first_ms %.3f (cpu)\n", firstOpenMs);
    std::printf("open_best_ms %.3f (cpu; map, check, checksum)\n", openMs);
    std::printf("index_write_ms %.1f (cpu; of that, making the index from the records)\n", writeMs);
    std::printf("user_kenall_first_load_ms %.1f (cpu; unzip, read, build, cache; %ld page faults)\n", buildMs,
                buildFaults);
    std::printf("user_kenall_cached_open_ms %.3f (cpu; files checked against the cache)\n", cachedMs);
    printMemory("memory_after_open_MB", memoryOpen, memoryBefore);
    printMemory("memory_after_lookups_MB", memoryLookups, memoryBefore);
    std::printf("code_to_address_ns %.1f (cpu)\n", codeNs);
    std::printf("address_to_code_us %.3f (cpu; %zu of %lld matched)\n", addressUs, matched / kAddressRounds,
                static_cast<long long>(addresses.size()));
    std::printf("sink %zu\n", sink);
    return 0;
}
