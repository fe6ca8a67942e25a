#pragma once

#include <QString>

// Writes a shortcut file that points at a file, folder or URL: a shell link (.lnk) on Windows, a
// desktop entry of type Link (.desktop) elsewhere. An existing file of the same name is replaced.
class ShortcutWriter {
public:
    virtual ~ShortcutWriter() = default;
    // The file name ending of the shortcuts this writer makes, dot included.
    virtual QString fileSuffix() const = 0;
    virtual bool write(const QString &shortcutPath, const QString &target) = 0;
};
