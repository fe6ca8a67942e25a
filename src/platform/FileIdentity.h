#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Which file a path reaches, whatever its spelling: through a bind mount, a hard link, a link in a
// folder above it or another letter case, one file has one identity (device and file number; on
// Windows the volume and file index). A path compared by its text alone can name the same file twice.
struct FileIdentity {
    quint64 device = 0;
    quint64 file = 0;

    bool operator==(const FileIdentity &) const = default;

    // No value where nothing is at the path or it cannot be told; a link is followed.
    static std::optional<FileIdentity> of(const QString &path);
};
