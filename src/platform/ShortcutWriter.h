#pragma once

#include <QString>

// Writes a shortcut file that points at a file, folder or URL: on Windows a shell link (.lnk) for a
// file or folder and an Internet shortcut (.url) for a web link, a desktop entry of type Link
// (.desktop) elsewhere. An existing file of the same name is replaced.
class ShortcutWriter {
public:
    virtual ~ShortcutWriter() = default;
    // The file name ending of a shortcut this writer makes to target, dot included.
    virtual QString fileSuffix(const QString &target) const = 0;
    virtual bool write(const QString &shortcutPath, const QString &target) = 0;
};
