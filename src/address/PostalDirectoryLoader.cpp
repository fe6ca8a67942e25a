#include "address/PostalDirectoryLoader.h"

#include "address/JapanPostReader.h"
#include "address/PostalIndexFormat.h"
#include "address/PostalIndexWriter.h"
#include "address/ZipEntryReader.h"
#include "core/FileSystem.h"
#include "core/MappedFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <functional>

namespace {

using Sink = JapanPostReader::Sink;
using Reader = std::function<bool(const QByteArray &, const Sink &)>;

struct Candidate {
    QString name;
    QString entry; // the file inside the zip archive that the name stands for; empty for a plain file
    Reader read;
};

// A file of the user's folder that one of Japan Post's names stands for, with its content.
struct Present {
    const Candidate *candidate = nullptr;
    QFileInfo info;
    std::optional<QByteArray> bytes;
};

// Japan Post's archives hold upper-case names, some unpackers write lower case: match either.
QString findFile(const QString &folder, const QStringList &files, const QString &name)
{
    for (const QString &file : files)
        if (file.compare(name, Qt::CaseInsensitive) == 0)
            return QDir(folder).filePath(file);
    return {};
}

// Japan Post's zip archives as downloaded come before the files unpacked from them, so that a new
// month's download takes effect though an older unpacked file is still in the folder.
QList<Candidate> asZipOrPlain(const QString &zip, const QString &entry, const Reader &read)
{
    return {{zip, entry, read}, {entry, {}, read}};
}

QList<Present> presentFiles(const FileSystem &files, const QString &folder, const QStringList &folderFiles,
                            const QList<Candidate> &candidates)
{
    QList<Present> present;
    for (const Candidate &c : candidates) {
        const QString path = findFile(folder, folderFiles, c.name);
        if (path.isEmpty())
            continue;
        present.append(
            Present{&c, QFileInfo(path), files.readAll(path, PostalDirectoryLoader::kMaxFileBytes)});
    }
    return present;
}

// What a cache made from these files must have recorded to stand for them: each file's name, size,
// time and checksum, and the shipped data's checksum, which gives what the user's files leave out.
QByteArray describeSources(const QList<Present> &present, quint64 shippedChecksum)
{
    QByteArray text = "shipped " + QByteArray::number(shippedChecksum, 16) + '\n';
    for (const Present &p : present)
        text += p.candidate->name.toUtf8() + ' ' + QByteArray::number(p.info.size()) + ' ' +
                QByteArray::number(p.info.lastModified().toMSecsSinceEpoch()) + ' ' +
                (p.bytes ? QByteArray::number(PostalIndexFormat::checksum(*p.bytes), 16) : QByteArray("-")) +
                '\n';
    return text;
}

// Adds the records of the first usable file to the writer; a message for each present file that is
// not usable, naming what is used instead (the shipped data, when there is any). The date of the data
// used (when Japan Post made the file inside the archive, or the plain file's time), or no value when
// none was used.
std::optional<QDate> addFirstUsable(const QList<Present> &present, PostalIndexWriter &writer,
                                    bool haveShipped, QStringList &messages)
{
    QStringList refused;
    QString used;
    std::optional<QDate> usedDate;
    bool fits = true;
    const Sink add = [&writer, &fits](const PostalRecordView &r) { fits = writer.add(r) && fits; };
    for (const Present &p : present) {
        const qsizetype mark = writer.recordCount();
        fits = true;
        std::optional<QByteArray> bytes = p.bytes;
        QDate date = p.info.lastModified().date();
        if (bytes && !p.candidate->entry.isEmpty())
            bytes =
                ZipEntryReader::read(*bytes, p.candidate->entry, PostalDirectoryLoader::kMaxFileBytes, &date);
        // A file of more records or cities than the index holds is no file of Japan Post's.
        if (bytes && p.candidate->read(*bytes, add) && fits) {
            used = p.info.fileName();
            usedDate = date;
            break;
        }
        writer.truncate(mark);
        refused.append(p.info.fileName());
    }
    for (const QString &name : refused)
        messages.append(
            !used.isEmpty() ? QStringLiteral("%1 を使用できません（%2 を使用します）").arg(name, used)
            : haveShipped ? QStringLiteral("%1 を使用できません（同梱データを使用します）").arg(name)
                          : QStringLiteral("%1 を使用できません").arg(name));
    return usedDate;
}

// The shipped directory, or an empty one and a message saying why it cannot serve. A file that cannot
// be mapped is missing or unreadable; one that maps but is refused is damaged.
std::shared_ptr<const PostalDirectory> openShipped(const QString &path, QStringList &messages)
{
    std::unique_ptr<MappedFile> file = MappedFile::open(path, PostalDirectoryLoader::kMaxFileBytes);
    const bool readable = file != nullptr;
    if (std::shared_ptr<const PostalDirectory> shipped = PostalDirectory::open(std::move(file)))
        return shipped;
    const QString name = QFileInfo(path).fileName();
    messages.append(readable ? QStringLiteral("郵便番号データ %1 が壊れています").arg(name)
                             : QStringLiteral("郵便番号データ %1 を読み込めません").arg(name));
    return std::make_shared<PostalDirectory>();
}

// Japan Post's files of towns, or of businesses, as the user's folder may hold them.
QList<Candidate> townFiles(const Cp932Codec &codec)
{
    return asZipOrPlain(
               QStringLiteral("utf_ken_all.zip"), QStringLiteral("utf_ken_all.csv"),
               [](const QByteArray &b, const Sink &s) { return JapanPostReader::readKenAllUtf8(b, s); }) +
           asZipOrPlain(QStringLiteral("ken_all.zip"), QStringLiteral("KEN_ALL.CSV"),
                        [&codec](const QByteArray &b, const Sink &s) {
                            return JapanPostReader::readKenAllCp932(b, codec, s);
                        });
}
QList<Candidate> businessFiles(const Cp932Codec &codec)
{
    return asZipOrPlain(
        QStringLiteral("jigyosyo.zip"), QStringLiteral("JIGYOSYO.CSV"),
        [&codec](const QByteArray &b, const Sink &s) { return JapanPostReader::readJigyosyo(b, codec, s); });
}

// The cache when it was made from these sources. Read, not mapped: another program may cut the file
// short or rewrite it in place while this one runs, and a mapped page that is gone kills the program
// at its next touch.
std::unique_ptr<PostalDirectory> openCache(const FileSystem &files, const QString &path,
                                           const QByteArray &sources)
{
    if (const auto bytes = files.readAll(path, PostalDirectoryLoader::kMaxFileBytes))
        if (auto cached = PostalDirectory::open(*bytes); cached && cached->sources() == sources)
            return cached;
    return nullptr;
}

// The index of the first usable file of each kind, or the shipped data's towns or businesses where
// the user gave none usable; messages gets a text for each file refused.
QByteArray buildIndex(const PostalDirectory &shipped, const QList<Present> &towns,
                      const QList<Present> &businesses, const QByteArray &sources, QStringList &messages)
{
    PostalIndexWriter writer(sources);
    // Japan Post's towns and businesses together run to about 147,000 records.
    writer.reserve(160000);
    const bool haveShipped = shipped.entryCount() > 0;
    // The data's date is that of the towns' file, which Japan Post renews each month.
    if (const auto date = addFirstUsable(towns, writer, haveShipped, messages))
        writer.setDate(date->toString(Qt::ISODate));
    else {
        writer.addFrom(shipped, false);
        writer.setDate(shipped.date());
    }
    if (!addFirstUsable(businesses, writer, haveShipped, messages))
        writer.addFrom(shipped, true);
    return writer.finish();
}

} // namespace

QString PostalDirectoryLoader::cacheFileName()
{
    return QStringLiteral("postal-index.cache");
}

PostalLoadResult PostalDirectoryLoader::load(const FileSystem &files, const QString &shippedPath,
                                             const QString &userFolder)
{
    PostalLoadResult result;
    const std::shared_ptr<const PostalDirectory> shipped = openShipped(shippedPath, result.messages);
    result.directory = shipped;
    if (userFolder.isEmpty())
        return result;
    const QStringList folderFiles = QDir(userFolder).entryList(QDir::Files);
    const QList<Candidate> towns = townFiles(files.codec());
    const QList<Candidate> businesses = businessFiles(files.codec());
    const QList<Present> userTowns = presentFiles(files, userFolder, folderFiles, towns);
    const QList<Present> userBusinesses = presentFiles(files, userFolder, folderFiles, businesses);
    if (userTowns.isEmpty() && userBusinesses.isEmpty())
        return result;

    const quint64 shippedChecksum = shipped->entryCount() > 0 ? shipped->checksum() : 0;
    const QByteArray sources = describeSources(userTowns + userBusinesses, shippedChecksum);
    const QString cachePath = QDir(userFolder).filePath(cacheFileName());
    if (auto cached = openCache(files, cachePath, sources)) {
        result.directory = std::move(cached);
        return result;
    }
    QStringList refused;
    const QByteArray index = buildIndex(*shipped, userTowns, userBusinesses, sources, refused);
    result.messages += refused;
    // A refused file is reported at every start until the user mends it, so only a clean build is
    // cached; failing to write the cache costs the next start time, nothing else.
    if (refused.isEmpty())
        files.writeAtomic(cachePath, index);
    if (auto built = PostalDirectory::open(index))
        result.directory = std::move(built);
    return result;
}
