#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <memory>

// A regular file mapped read-only into memory: its pages are shared with the system's file cache, so
// a large data file costs the program no memory of its own and no time to read.
class MappedFile {
public:
    // No file when the path is missing, unreadable, no regular file, empty or larger than maxBytes.
    static std::unique_ptr<MappedFile> open(const QString &path, qint64 maxBytes);

    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    QByteArrayView bytes() const { return m_bytes; }

private:
    MappedFile() = default;

    QFile m_file;
    QByteArrayView m_bytes;
};
