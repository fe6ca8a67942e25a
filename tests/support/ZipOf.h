#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <utility>
#include <zip.h>

// A zip archive in memory holding the entries given, each dated when given (as Japan Post's archives
// date their file), for the readers to take as downloaded.
inline QByteArray zipOf(const QList<std::pair<const char *, QByteArray>> &entries, QDate date = {})
{
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, nullptr);
    zip_source_keep(buffer);
    zip_t *archive = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    for (const auto &[name, bytes] : entries) {
        const zip_int64_t entry = zip_file_add(
            archive, name, zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0), 0);
        if (date.isValid())
            zip_file_set_mtime(archive, zip_uint64_t(entry),
                               time_t(QDateTime(date, QTime(12, 0)).toSecsSinceEpoch()), 0);
    }
    zip_stat_t stat;
    if (zip_close(archive) != 0 || zip_source_stat(buffer, &stat) != 0 || zip_source_open(buffer) != 0)
        qFatal("cannot make a zip");
    QByteArray zip(qsizetype(stat.size), Qt::Uninitialized);
    zip_source_read(buffer, zip.data(), stat.size);
    zip_source_free(buffer);
    return zip;
}
