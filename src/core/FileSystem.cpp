#include "core/FileSystem.h"

#include "core/Cp932Codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

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
    // Read up to one byte beyond the limit so that a file that grows while we read is still refused;
    // in pieces of what is left, since asking for the limit at once takes that much memory for any file.
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min(file.size(), maxBytes)) + 1);
    while (bytes.size() <= maxBytes) {
        const qint64 expected = std::max<qint64>(file.size() - bytes.size(), 4096);
        const QByteArray piece = file.read(std::min<qint64>(expected, maxBytes + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (file.error() != QFileDevice::NoError || bytes.size() > maxBytes)
        return std::nullopt;
    return bytes;
}

bool FileSystem::writeAtomic(const QString &path, const QByteArray &bytes) const
{
    // A pipe or device in the target's place is no file of ours to replace.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return false;
    return m_replaceRetry.run([&] {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return ReplaceRetry::Outcome::Failed;
        // QSaveFile keeps small writes in its buffer and commits without checking that they reached the
        // disk: a full disk would replace the file with a cut-short one and still report success.
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            file.cancelWriting();
            return ReplaceRetry::Outcome::Failed;
        }
        if (file.commit())
            return ReplaceRetry::Outcome::Done;
        // A refused rename has removed the temporary file too: a next attempt writes it anew.
        return file.error() == QFileDevice::RenameError ? ReplaceRetry::Outcome::RenameRefused
                                                        : ReplaceRetry::Outcome::Failed;
    });
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
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool FileSystem::createFolder(const QString &path) const
{
    return QDir().mkdir(path);
}
