#include "core/FileSystem.h"

#include "core/Cp932Codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool FileSystem::fileExists(const QString &path) const
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool FileSystem::folderExists(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

std::optional<QByteArray> FileSystem::readAll(const QString &path, qint64 maxBytes) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (file.size() > maxBytes)
        return std::nullopt;
    // Read one byte beyond the limit so that a file that grows while we read is still refused.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > maxBytes)
        return std::nullopt;
    return bytes;
}

bool FileSystem::writeAtomic(const QString &path, const QByteArray &bytes) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile keeps small writes in its buffer and commits without checking that they reached the
    // disk: a full disk would replace the file with a cut-short one and still report success.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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
