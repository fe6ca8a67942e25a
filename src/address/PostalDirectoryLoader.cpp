#include "address/PostalDirectoryLoader.h"

#include "address/JapanPostReader.h"
#include "address/ZipEntryReader.h"
#include "core/FileSystem.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <functional>

namespace {

// The files of the user's folder, listed once for every name looked up in it.
QStringList filesIn(const QString &folder)
{
    return folder.isEmpty() ? QStringList() : QDir(folder).entryList(QDir::Files);
}

// Japan Post's archives hold upper-case names, some unpackers write lower case: match either.
QString findFile(const QString &folder, const QStringList &files, const QString &name)
{
    for (const QString &file : files)
        if (file.compare(name, Qt::CaseInsensitive) == 0)
            return QDir(folder).filePath(file);
    return {};
}

using Reader = std::function<std::optional<QList<PostalRecord>>(const QByteArray &)>;

struct Candidate {
    QString name;
    QString entry; // the file inside the zip archive that the name stands for; empty for a plain file
    Reader read;
};

// Japan Post's zip archives as downloaded come before the files unpacked from them, so that a new
// month's download takes effect though an older unpacked file is still in the folder.
QList<Candidate> asZipOrPlain(const QString &zip, const QString &entry, const Reader &read)
{
    return {{zip, entry, read}, {entry, {}, read}};
}

// The records of the first usable file among the candidates; a message for each present file that is
// not usable, naming what is used instead.
std::optional<QList<PostalRecord>> readFirstUsable(const FileSystem &files, const QString &folder,
                                                   const QStringList &folderFiles,
                                                   const QList<Candidate> &candidates, QStringList &messages)
{
    QStringList refused;
    std::optional<QList<PostalRecord>> records;
    QString used;
    for (const Candidate &c : candidates) {
        const QString path = findFile(folder, folderFiles, c.name);
        if (path.isEmpty())
            continue;
        auto bytes = files.readAll(path, PostalDirectoryLoader::kMaxFileBytes);
        if (bytes && !c.entry.isEmpty())
            bytes = ZipEntryReader::read(*bytes, c.entry, PostalDirectoryLoader::kMaxFileBytes);
        if (bytes)
            records = c.read(*bytes);
        if (records) {
            used = QFileInfo(path).fileName();
            break;
        }
        refused.append(QFileInfo(path).fileName());
    }
    const QString instead = used.isEmpty() ? QStringLiteral("同梱データ") : used + QStringLiteral(" ");
    for (const QString &name : refused)
        messages.append(QStringLiteral("%1 を使用できません（%2を使用します）").arg(name, instead));
    return records;
}

// The shipped file's SHA-256 is recorded beside it ("postal.dat.sha256", as sha256sum writes it): the
// format alone lets most damage to a town's text or a code through, and wrong addresses would follow.
bool matchesRecordedChecksum(const FileSystem &files, const QString &path, const QByteArray &bytes)
{
    constexpr qsizetype kHexDigits = 64;
    const auto recorded = files.readAll(path + QStringLiteral(".sha256"), 1024);
    if (!recorded || recorded->size() < kHexDigits)
        return false;
    const QByteArray actual = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    return recorded->left(kHexDigits).toLower() == actual &&
           (recorded->size() == kHexDigits || recorded->at(kHexDigits) == ' ' ||
            recorded->at(kHexDigits) == '\n');
}

} // namespace

PostalLoadResult PostalDirectoryLoader::load(const FileSystem &files, const QString &shippedPath,
                                             const QString &userFolder)
{
    PostalLoadResult result;
    auto directory = std::make_shared<PostalDirectory>();
    const auto shipped = files.readAll(shippedPath, kMaxFileBytes);
    const QString shippedName = QFileInfo(shippedPath).fileName();
    if (!shipped)
        result.messages.append(QStringLiteral("郵便番号データ %1 を読み込めません").arg(shippedName));
    else if (!matchesRecordedChecksum(files, shippedPath, *shipped))
        result.messages.append(QStringLiteral("郵便番号データ %1 が壊れています").arg(shippedName));
    else if (!directory->loadShipped(*shipped))
        result.messages.append(QStringLiteral("郵便番号データ %1 を読み込めません").arg(shippedName));

    const Cp932Codec &codec = files.codec();
    const Reader kenAllCp932 = [&codec](const QByteArray &b) {
        return JapanPostReader::readKenAllCp932(b, codec);
    };
    const Reader jigyosyo = [&codec](const QByteArray &b) { return JapanPostReader::readJigyosyo(b, codec); };
    const QStringList userFiles = filesIn(userFolder);
    const auto towns = readFirstUsable(
        files, userFolder, userFiles,
        asZipOrPlain(QStringLiteral("utf_ken_all.zip"), QStringLiteral("utf_ken_all.csv"),
                     [](const QByteArray &b) { return JapanPostReader::readKenAllUtf8(b); }) +
            asZipOrPlain(QStringLiteral("ken_all.zip"), QStringLiteral("KEN_ALL.CSV"), kenAllCp932),
        result.messages);
    const auto businesses = readFirstUsable(
        files, userFolder, userFiles,
        asZipOrPlain(QStringLiteral("jigyosyo.zip"), QStringLiteral("JIGYOSYO.CSV"), jigyosyo),
        result.messages);
    if (towns) {
        directory->removeTowns();
        for (const PostalRecord &r : *towns)
            directory->add(r);
    }
    if (businesses) {
        directory->removeBusinesses();
        for (const PostalRecord &r : *businesses)
            directory->add(r);
    }
    if (towns || businesses)
        directory->finish();
    result.directory = std::move(directory);
    return result;
}
