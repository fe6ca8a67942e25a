#pragma once

#include "address/PostalLoadResult.h"

#include <QString>

class FileSystem;

// Opens the shipped directory and, where the user has put them in the user data folder, builds one
// from Japan Post's own files (the zip archives as downloaded, or the files unpacked from them), which
// then take the place of the shipped towns or businesses. What is built from the user's files is
// cached in the same folder, so that only the first start after a change pays for it.
class PostalDirectoryLoader {
public:
    // Japan Post's files run to about 20 MB unpacked; anything much larger is not one of them, and no
    // archive is unpacked beyond it.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
    // The cache's name in the user data folder.
    static QString cacheFileName();

    // Never fails: at worst the directory is empty and the messages say why.
    static PostalLoadResult load(const FileSystem &files, const QString &shippedPath,
                                 const QString &userFolder);
};
