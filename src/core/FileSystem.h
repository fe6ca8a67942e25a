#pragma once

#include "core/ReplaceRetry.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

class Cp932Codec;
class QIODevice;

// Every file test, read and write of the program, and the CP932 text files on top of them.
class FileSystem {
public:
    // Larger files are refused when read as text: no file of ours comes near, and reading a huge file
    // a caller handed us must not hang or exhaust the program.
    static constexpr qint64 kMaxTextBytes = 4 * 1024 * 1024;

    // replaceRetry: how a replacement whose rename is refused is tried again (see writeAtomic).
    explicit FileSystem(const Cp932Codec &codec, ReplaceRetry replaceRetry = ReplaceRetry())
        : m_codec(codec), m_replaceRetry(std::move(replaceRetry))
    {
    }

    const Cp932Codec &codec() const { return m_codec; }

    bool fileExists(const QString &path) const;
    bool folderExists(const QString &path) const;

    bool isSymLink(const QString &path) const;
    // True when writeAtomic may put a file at the path: nothing is there, or a regular file that is no
    // link. A link's target may be any file of the user's (of anyone's, for root), not ours to replace.
    bool canReplace(const QString &path) const;

    // Whole content, or no value when the file is missing, unreadable, larger than maxBytes or no
    // regular file (a named pipe, a device).
    std::optional<QByteArray> readAll(const QString &path, qint64 maxBytes = kMaxTextBytes) const;

    // How a streamed writeAtomic ended. Where the file could not be made or put in place: what Qt
    // and the system (errno) said of it, for the caller's own words to the user.
    struct WriteResult {
        bool written = false;
        QString errorString;
        int systemError = 0;
    };
    // Streams the content into the temporary file the device is; false gives up, and nothing is
    // replaced. Called again for each attempt after a refused rename, and must then write it all anew.
    using Writer = std::function<bool(QIODevice &)>;

    // Writes through a temporary file in the same folder, flushed and then renamed over the target,
    // so that a failure or a kill part way leaves the previous file whole. Not written, writing nothing,
    // when canReplace() is false: a link, a pipe, a device or a folder has the path. A rename the system
    // refuses is tried again, the whole write anew, for as long as the replace retry allows.
    WriteResult writeAtomic(const QString &path, const Writer &write) const;
    bool writeAtomic(const QString &path, const QByteArray &bytes) const;

    // readText gives no value for undecodable bytes; writeText returns false, writing nothing, when
    // the text holds a character CP932 cannot store.
    std::optional<QString> readText(const QString &path, qint64 maxBytes = kMaxTextBytes) const;
    bool writeText(const QString &path, const QString &text) const;

    // Creates (or truncates to) an empty file; false, as writeAtomic, where canReplace() is false.
    bool createEmptyFile(const QString &path) const;
    // Creates one folder level; its parent must exist.
    bool createFolder(const QString &path) const;

private:
    const Cp932Codec &m_codec;
    ReplaceRetry m_replaceRetry;
};
