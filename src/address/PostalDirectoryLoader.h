#pragma once

#include "address/PostalLoadResult.h"

#include <QString>

class FileSystem;

// Builds the directory from the shipped file and, where the user has put them in the user data
// folder, Japan Post's own files (as the zip archives downloaded or unpacked), which then take the
// place of the shipped towns or businesses.
class PostalDirectoryLoader {
public:
    // Japan Post's files run to about 20 MB unpacked; anything much larger is not one of them, and no
    // archive is unpacked beyond it.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

    // Never fails: at worst the directory is empty and the messages say why.
    static PostalLoadResult load(const FileSystem &files, const QString &shippedPath,
                                 const QString &userFolder);
};
