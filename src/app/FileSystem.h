#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// Every file test, read and write of the program goes through the one shared instance (EnsureFso),
// so that tests can make writes fail even when running as root, where permissions do not.
class FileSystem {
public:
    // Larger files are refused when read as text: no file of ours comes near, and reading a huge
    // file a caller handed us must not hang or exhaust the program.
    static constexpr qint64 kMaxTextBytes = 4 * 1024 * 1024;

    bool fileExists(const QString &path) const;
    bool folderExists(const QString &path) const;

    // Whole content, or no value when the file is missing, unreadable or larger than maxBytes.
    std::optional<QByteArray> readAll(const QString &path, qint64 maxBytes = kMaxTextBytes) const;

    // Writes through a temporary file in the same folder, flushed and then renamed over the target,
    // so that a failure or a kill part way leaves the previous file whole.
    bool writeAtomic(const QString &path, const QByteArray &bytes) const;

    // CP932 text helpers. readText gives no value for undecodable bytes; writeText returns false,
    // writing nothing, when the text holds a character CP932 cannot store.
    std::optional<QString> readText(const QString &path, qint64 maxBytes = kMaxTextBytes) const;
    bool writeText(const QString &path, const QString &text) const;

    // Creates (or truncates to) an empty file.
    bool createEmptyFile(const QString &path) const;
    // Creates one folder level; its parent must exist.
    bool createFolder(const QString &path) const;

    // Test hook: when it returns true for a path, every write to that path fails.
    void setWriteFault(std::function<bool(const QString &path)> fault) { m_writeFault = std::move(fault); }

private:
    bool writeFails(const QString &path) const { return m_writeFault && m_writeFault(path); }

    std::function<bool(const QString &)> m_writeFault;
};

// The program's one file-system object, created on first use and kept for the life of the process.
FileSystem &EnsureFso();
