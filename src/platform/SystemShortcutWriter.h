#pragma once

#include "platform/ShortcutWriter.h"

class FileSystem;

// The real shortcut files: a shell link through IShellLink on Windows, a desktop entry of type Link
// elsewhere.
class SystemShortcutWriter : public ShortcutWriter {
public:
    explicit SystemShortcutWriter(const FileSystem &files) : m_files(files) {}
    QString fileSuffix() const override;
    bool write(const QString &shortcutPath, const QString &target) override;

private:
    [[maybe_unused]] const FileSystem &m_files;
};
