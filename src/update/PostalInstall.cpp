#include "update/PostalInstall.h"

#include "address/PostalText.h"

#include "address/JapanPostReader.h"
#include "address/PostalDirectoryLoader.h"
#include "address/ZipEntryReader.h"
#include "core/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <optional>

using namespace Qt::Literals::StringLiterals;

const QString PostalInstall::kTownsFile = u"utf_ken_all.zip"_s;
const QString PostalInstall::kBusinessesFile = u"jigyosyo.zip"_s;

namespace {

// One downloaded file as the reader takes it: its records, and the date its entry was made.
struct Read {
    qsizetype records = 0;
    QDate date;
};

std::optional<Read> readTowns(const QByteArray &zip)
{
    Read read;
    const auto csv =
        ZipEntryReader::read(zip, u"utf_ken_all.csv"_s, PostalDirectoryLoader::kMaxFileBytes, &read.date);
    if (!csv || !JapanPostReader::readKenAllUtf8(*csv, [&read](const PostalRecordView &) { ++read.records; }))
        return std::nullopt;
    return read;
}

std::optional<Read> readBusinesses(const QByteArray &zip, const Cp932Codec &codec)
{
    Read read;
    const auto csv =
        ZipEntryReader::read(zip, u"JIGYOSYO.CSV"_s, PostalDirectoryLoader::kMaxFileBytes, &read.date);
    if (!csv ||
        !JapanPostReader::readJigyosyo(*csv, codec, [&read](const PostalRecordView &) { ++read.records; }))
        return std::nullopt;
    return read;
}

qsizetype countOf(const PostalDirectory &directory, bool businesses)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < directory.entryCount(); ++i)
        count += directory.entryAt(i).isBusiness == businesses;
    return count;
}

QString number(qsizetype n)
{
    return QLocale(QLocale::Japanese).toString(n);
}

// Why a file of this many records cannot stand for the data in use, or nothing when it can.
QString implausible(const QString &file, const QString &what, qsizetype records, qsizetype inUse)
{
    if (inUse == 0 ||
        (records >= inUse * PostalInstall::kFewestShare && records <= inUse * PostalInstall::kMostShare))
        return {};
    return u"%1 の%2は %3 件で、使用中のデータの %4 件より%5ため使用しません"_s.arg(
        file, what, number(records), number(inUse), records < inUse ? u"大幅に少ない"_s : u"大幅に多い"_s);
}

// Each code's entries as one text, to tell which codes came, went or changed: folded as the search
// compares, so that the two editions' ways of writing one address (〜 or ～, full-width or not) are no
// change, and a code answered the same is not counted as changed.
QHash<quint32, QString> codes(const PostalDirectory &directory)
{
    QHash<quint32, QString> texts;
    texts.reserve(directory.entryCount());
    for (qsizetype i = 0; i < directory.entryCount(); ++i) {
        const PostalEntry e = directory.entryAt(i);
        PostalText::Folded folded;
        for (const QString &part : {e.address(), e.note.toString(), e.business.toString()}) {
            PostalText::appendFolded(folded, part);
            folded.append(u'|');
        }
        texts[e.code] += QStringView(folded.constData(), folded.size()).toString() + u'\n';
    }
    return texts;
}

struct Changes {
    qsizetype added = 0, removed = 0, changed = 0;
    bool none() const { return added == 0 && removed == 0 && changed == 0; }
};

Changes changes(const PostalDirectory &before, const PostalDirectory &after)
{
    const QHash<quint32, QString> old = codes(before);
    const QHash<quint32, QString> now = codes(after);
    Changes counted;
    for (auto i = now.cbegin(); i != now.cend(); ++i) {
        const auto was = old.constFind(i.key());
        counted.added += was == old.cend();
        counted.changed += was != old.cend() && *was != i.value();
    }
    for (auto i = old.cbegin(); i != old.cend(); ++i)
        counted.removed += !now.contains(i.key());
    return counted;
}

// The downloaded files put in place of the user's, both or neither; the earlier ones, as they were,
// for putting back (no value: there was none).
struct Earlier {
    QString path;
    std::optional<QByteArray> bytes;
};

void putBack(const FileSystem &files, const QList<Earlier> &earlier)
{
    for (const Earlier &e : earlier)
        if (e.bytes)
            files.writeAtomic(e.path, *e.bytes);
        else
            QFile::remove(e.path);
}

std::optional<QList<Earlier>> replace(const FileSystem &files, const QString &folder,
                                      const PostalInstall::Download &download)
{
    QList<Earlier> earlier;
    for (const auto &[name, bytes] : {std::pair{PostalInstall::kTownsFile, &download.towns},
                                      std::pair{PostalInstall::kBusinessesFile, &download.businesses}}) {
        const QString path = QDir(folder).filePath(name);
        const Earlier before{path, files.fileExists(path)
                                       ? files.readAll(path, PostalDirectoryLoader::kMaxFileBytes)
                                       : std::nullopt};
        if (files.fileExists(path) && !before.bytes) {
            putBack(files, earlier);
            return std::nullopt;
        }
        if (!files.writeAtomic(path, *bytes)) {
            putBack(files, earlier);
            return std::nullopt;
        }
        earlier.append(before);
    }
    return earlier;
}

// Why the download cannot take the place of the data in use, or nothing when it can.
QString refusal(const FileSystem &files, const PostalDirectory &inUse,
                const PostalInstall::Download &download)
{
    const std::optional<Read> towns = readTowns(download.towns);
    const std::optional<Read> businesses = readBusinesses(download.businesses, files.codec());
    const QString damaged = u"%1 は壊れているか、日本郵便の郵便番号データではありません"_s;
    if (!towns)
        return damaged.arg(PostalInstall::kTownsFile);
    if (!businesses)
        return damaged.arg(PostalInstall::kBusinessesFile);
    if (QString why =
            implausible(PostalInstall::kTownsFile, u"町域"_s, towns->records, countOf(inUse, false));
        !why.isEmpty())
        return why;
    if (QString why = implausible(PostalInstall::kBusinessesFile, u"事業所"_s, businesses->records,
                                  countOf(inUse, true));
        !why.isEmpty())
        return why;
    // The data's date is when Japan Post made the towns' file, as the archive records it: the date a
    // server or a mirror gives the download may be that of its copy. Japan Post makes the file some
    // days before it publishes it (the shipped data's date), so a month's file is of that month.
    if (!towns->date.isValid())
        return u"%1 にデータの日付がないため使用しません"_s.arg(PostalInstall::kTownsFile);
    const QDate inUseDate = QDate::fromString(inUse.date(), Qt::ISODate);
    if (inUseDate.isValid() && towns->date < QDate(inUseDate.year(), inUseDate.month(), 1))
        return u"%1 のデータ（%2）は使用中のデータ（%3）より古いため使用しません"_s.arg(
            PostalInstall::kTownsFile, towns->date.toString(Qt::ISODate), inUse.date());
    return {};
}

} // namespace

PostalInstall::Outcome PostalInstall::run(const FileSystem &files, const QString &shippedPath,
                                          const QString &userFolder, const Download &download)
{
    const PostalLoadResult inUse = PostalDirectoryLoader::load(files, shippedPath, userFolder);
    if (QString why = refusal(files, *inUse.directory, download); !why.isEmpty())
        return {false, why};
    // The cache goes back with the files: built anew for the download, it would stand for nothing.
    const QString cachePath = QDir(userFolder).filePath(PostalDirectoryLoader::cacheFileName());
    const Earlier cache{cachePath, files.fileExists(cachePath)
                                       ? files.readAll(cachePath, PostalDirectoryLoader::kMaxFileBytes)
                                       : std::nullopt};
    std::optional<QList<Earlier>> earlier = replace(files, userFolder, download);
    if (!earlier)
        return {false, u"ユーザーデータフォルダ %1 に書き込めませんでした"_s.arg(
                           QDir::toNativeSeparators(userFolder))};
    earlier->append(cache);
    // Built as at a start, which caches the index; where the build refuses the files after all, the
    // earlier ones go back.
    const PostalLoadResult updated = PostalDirectoryLoader::load(files, shippedPath, userFolder);
    if (updated.messages.size() > inUse.messages.size()) {
        putBack(files, *earlier);
        return {false, updated.messages.join(u'　')};
    }
    // The same codes, answered alike: the data in use is current, and its date (Japan Post's day of
    // publishing, where it is the shipped data) stays rather than give way to the file's own.
    const Changes counted = changes(*inUse.directory, *updated.directory);
    if (counted.none()) {
        putBack(files, *earlier);
        return {false,
                u"ダウンロードしたデータは使用中のデータ（%1）と同じ内容です"_s.arg(inUse.directory->date())};
    }
    return {true, u"郵便番号データを %1 のものに更新しました（追加 %2 件、削除 %3 件、変更 %4 件）"_s.arg(
                      updated.directory->date(), number(counted.added), number(counted.removed),
                      number(counted.changed))};
}
