#pragma once

#include "shell/ShortcutWriter.h"

// The real shortcut files: a shell link through IShellLink on Windows, a desktop entry of type
// Link elsewhere.
class PlatformShortcutWriter : public ShortcutWriter {
public:
    QString fileSuffix() const override;
    bool write(const QString &shortcutPath, const QString &target) override;
};
