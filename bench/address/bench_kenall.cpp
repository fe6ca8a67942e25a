// Times loading Japan Post's town file where its conventions pile up: one town continued over many
// lines, and one town under many codes (each key's chain of towns), then one address search for it.
// Both should grow linearly with the number of lines.
//
//   bench_kenall
//
// Prints "case lines seconds".
#include "address/PostalDirectory.h"
#include "address/PostalDirectoryLoader.h"
#include "core/FileSystem.h"
#include "platform/SystemCp932Codec.h"

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

namespace {

QByteArray row(int code, const QString &town)
{
    return QStringLiteral(
               "13101,\"100  "
               "\",\"%1\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ﾁﾖﾀﾞ\",\"東京都\",\"千代田区\",\"%2\",0,0,0,0,0,0\r\n")
        .arg(code, 7, 10, QLatin1Char('0'))
        .arg(town)
        .toUtf8();
}

// One town whose bracket stays open over all the lines.
QByteArray continued(int lines)
{
    QByteArray text = row(1000001, QStringLiteral("千代田（"));
    for (int i = 1; i < lines - 1; ++i)
        text += row(1000001, QStringLiteral("%1番地、").arg(i));
    return text + row(1000001, QStringLiteral("）"));
}

// One town under as many codes as lines.
QByteArray sameTown(int lines)
{
    QByteArray text;
    for (int i = 0; i < lines; ++i)
        text += row(1000000 + i, QStringLiteral("千代田"));
    return text;
}

} // namespace

int main()
{
    const SystemCp932Codec codec;
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
            const auto found = result.directory->findByAddress(QStringLiteral("東京都千代田区千代田1-1"));
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("%s %d %.3f s (%lld found)\n", c.name, lines, seconds,
                        static_cast<long long>(found.size()));
        }
    }
    return 0;
}
