#pragma once

#include "platform/ShortcutWriter.h"

class FileSystem;

// The real shortcut files: on Windows a shell link through IShellLink for a file or folder and an
// Internet shortcut for a web link; elsewhere a desktop entry of type Link.
class SystemShortcutWriter : public ShortcutWriter {
public:
    explicit SystemShortcutWriter(const FileSystem &files) : m_files(files) {}
    QString fileSuffix(const QString &target) const override;
    bool write(const QString &shortcutPath, const QString &target) override;

private:
    const FileSystem &m_files;
};
