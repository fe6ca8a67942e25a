#include "core/FileSystem.h"

#include "core/Cp932Codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>

bool FileSystem::fileExists(const QString &path) const
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool FileSystem::folderExists(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool FileSystem::isSymLink(const QString &path) const
{
    return QFileInfo(path).isSymLink();
}

bool FileSystem::canReplace(const QString &path) const
{
    const QFileInfo target(path);
    return !target.isSymLink() && (!target.exists() || target.isFile());
}

std::optional<QByteArray> FileSystem::readAll(const QString &path, qint64 maxBytes) const
{
    // Opening a named pipe for reading waits for a writer, for ever if none comes, and a device may
    // never end: only regular files are read.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (file.size() > maxBytes)
        return std::nullopt;
    // Read up to one byte beyond the limit so that a file that grows while we read is still refused.
    // Straight into one buffer of the file's size: a buffer per piece would touch every page twice,
    // and the postal cache runs to some 10 MB.
    QByteArray bytes(qsizetype(std::min(file.size(), maxBytes)) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled <= maxBytes) {
        if (filled == bytes.size())
            bytes.resize(qsizetype(std::min<qint64>(qint64(filled) * 2, maxBytes + 1)));
        const qint64 got = file.read(bytes.data() + filled, bytes.size() - filled);
        if (got <= 0)
            break;
        filled += qsizetype(got);
    }
    if (file.error() != QFileDevice::NoError || filled > maxBytes)
        return std::nullopt;
    bytes.truncate(filled);
    return bytes;
}

FileSystem::WriteResult FileSystem::writeAtomic(const QString &path, const Writer &write) const
{
    WriteResult result;
    if (!canReplace(path))
        return result;
    const auto failed = [&result](const QFileDevice &file) {
        result.systemError = errno;
        result.errorString = file.errorString();
        return ReplaceRetry::Outcome::Failed;
    };
    result.written = m_replaceRetry.run([&] {
        QSaveFile file(path);
        errno = 0;
        if (!file.open(QIODevice::WriteOnly))
            return failed(file);
        if (!write(file)) {
            file.cancelWriting();
            return ReplaceRetry::Outcome::Failed;
        }
        // QSaveFile keeps small writes in its buffer and commits without checking that they reached the
        // disk: a full disk would replace the file with a cut-short one and still report success.
        errno = 0;
        if (!file.flush()) {
            const auto outcome = failed(file);
            file.cancelWriting();
            return outcome;
        }
        if (file.commit())
            return ReplaceRetry::Outcome::Done;
        failed(file);
        // A refused rename has removed the temporary file too: a next attempt writes it anew.
        return file.error() == QFileDevice::RenameError ? ReplaceRetry::Outcome::RenameRefused
                                                        : ReplaceRetry::Outcome::Failed;
    });
    return result;
}

bool FileSystem::writeAtomic(const QString &path, const QByteArray &bytes) const
{
    return writeAtomic(path, [&bytes](QIODevice &file) { return file.write(bytes) == bytes.size(); }).written;
}

std::optional<QString> FileSystem::readText(const QString &path, qint64 maxBytes) const
{
    const auto bytes = readAll(path, maxBytes);
    if (!bytes)
        return std::nullopt;
    return m_codec.decode(*bytes);
}

bool FileSystem::writeText(const QString &path, const QString &text) const
{
    const auto bytes = m_codec.encode(text);
    return bytes && writeAtomic(path, *bytes);
}

bool FileSystem::createEmptyFile(const QString &path) const
{
    // A dangling link would make its target.
    if (!canReplace(path))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool FileSystem::createFolder(const QString &path) const
{
    return QDir().mkdir(path);
}
