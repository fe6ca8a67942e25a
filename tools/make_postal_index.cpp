// Builds the shipped postal-code index from Japan Post's files as downloaded, at build time:
//
//   make_postal_index <date YYYY-MM-DD> <ken_all.zip> <jigyosyo.zip> <output>
//
// Exits non-zero, writing nothing, when a file is missing or is not what Japan Post publishes.
#include "address/JapanPostReader.h"
#include "address/PostalDirectory.h"
#include "address/PostalDirectoryLoader.h"
#include "address/PostalIndexWriter.h"
#include "address/ZipEntryReader.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

std::optional<QByteArray> unzip(const FileSystem &files, const QString &zip, const QString &entry)
{
    const auto archive = files.readAll(zip, PostalDirectoryLoader::kMaxFileBytes);
    return archive ? ZipEntryReader::read(*archive, entry, PostalDirectoryLoader::kMaxFileBytes)
                   : std::nullopt;
}

int fail(const QString &why)
{
    std::fprintf(stderr, "make_postal_index: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return fail(QStringLiteral("usage: make_postal_index <date> <ken_all.zip> <jigyosyo.zip> <output>"));
    const Cp932Table codec;
    const FileSystem files(codec);
    PostalIndexWriter writer(QFileInfo(args[2]).fileName().toUtf8() + ' ' +
                             QFileInfo(args[3]).fileName().toUtf8());
    writer.setDate(args[1]);
    const JapanPostReader::Sink add = [&writer](const PostalRecordView &r) { writer.add(r); };
    const auto kenAll = unzip(files, args[2], QStringLiteral("KEN_ALL.CSV"));
    if (!kenAll || !JapanPostReader::readKenAllCp932(*kenAll, codec, add))
        return fail(args[2] + QStringLiteral(" holds no usable KEN_ALL.CSV"));
    const auto jigyosyo = unzip(files, args[3], QStringLiteral("JIGYOSYO.CSV"));
    if (!jigyosyo || !JapanPostReader::readJigyosyo(*jigyosyo, codec, add))
        return fail(args[3] + QStringLiteral(" holds no usable JIGYOSYO.CSV"));
    const QByteArray index = writer.finish();
    // Read back as the program will: a writer fault stops the build, not the user's search.
    if (!PostalDirectory::open(index))
        return fail(QStringLiteral("the index made cannot be read back"));
    if (!files.writeAtomic(args[4], index))
        return fail(QStringLiteral("cannot write ") + args[4]);
    std::printf("make_postal_index: %lld records, %lld bytes\n", static_cast<long long>(writer.recordCount()),
                static_cast<long long>(index.size()));
    return 0;
}
