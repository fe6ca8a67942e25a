#include "address/ZipEntryReader.h"

#include <QDateTime>

#include <zip.h>

#include <memory>

namespace {

struct ArchiveCloser {
    // Discarded, not closed: closing may write changes back, and there must never be any.
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
struct FileCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

// The index of the one entry with that name, or -1.
zip_int64_t findEntry(zip_t *archive, const QByteArray &name)
{
    zip_int64_t found = -1;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        // Raw bytes: Japan Post's names are ASCII, and a guessed code page could make another name equal.
        const char *entry = zip_get_name(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW);
        if (!entry || name.compare(entry, Qt::CaseInsensitive) != 0)
            continue;
        if (found >= 0)
            return -1; // two spellings of the name: which one is meant cannot be known
        found = i;
    }
    return found;
}

} // namespace

std::optional<QByteArray> ZipEntryReader::read(const QByteArray &archive, const QString &entryName,
                                               qint64 maxBytes, QDate *date)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source =
        zip_source_buffer_create(archive.constData(), zip_uint64_t(archive.size()), 0, &error);
    std::unique_ptr<zip_t, ArchiveCloser> zip;
    if (source) {
        zip.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
        if (!zip)
            zip_source_free(source); // only an opened archive owns its source
    }
    zip_error_fini(&error);
    if (!zip)
        return {};

    const zip_int64_t index = findEntry(zip.get(), entryName.toLatin1());
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(zip.get(), zip_uint64_t(index), 0, &stat) != 0)
        return {};
    const bool sizeKnown = (stat.valid & ZIP_STAT_SIZE) != 0;
    if (sizeKnown && stat.size > zip_uint64_t(maxBytes))
        return {};
    const std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(zip.get(), zip_uint64_t(index), 0));
    if (!file)
        return {};

    // Read until the end, whatever size the archive declares, but never past maxBytes: a forged size
    // must neither cut the data short unnoticed nor let it unpack without bound.
    constexpr qint64 kChunk = 1 << 16;
    QByteArray bytes;
    if (sizeKnown) // with room for the last read, which finds the end
        bytes.reserve(qsizetype(qMin(stat.size + kChunk, zip_uint64_t(maxBytes + 1))));
    for (;;) {
        const qsizetype used = bytes.size();
        const qsizetype wanted = used + qsizetype(qMin(kChunk, maxBytes - used + 1));
        if (wanted > bytes.capacity()) // grow geometrically when the declared size was missing or low
            bytes.reserve(qMin(qMax(wanted, 2 * bytes.capacity()), qsizetype(maxBytes + 1)));
        bytes.resize(wanted);
        const zip_int64_t got = zip_fread(file.get(), bytes.data() + used, zip_uint64_t(bytes.size() - used));
        if (got < 0) // damaged data, or a checksum that does not match
            return {};
        bytes.resize(used + qsizetype(got));
        if (bytes.size() > maxBytes)
            return {};
        if (got == 0)
            break;
    }
    if (sizeKnown && zip_uint64_t(bytes.size()) != stat.size)
        return {};
    if (date)
        *date = (stat.valid & ZIP_STAT_MTIME) ? QDateTime::fromSecsSinceEpoch(stat.mtime).date() : QDate();
    return bytes;
}
