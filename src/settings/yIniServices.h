#pragma once

#include <QString>

class MsgBox;
class ShellLauncher;
class ShortcutWriter;
class SpecialFolders;

// The platform pieces the settings-and-folders object works through. main.cpp installs the real
// ones; tests install fakes. A null pointer makes the operations that need it do nothing.
struct yIniServices {
    MsgBox *msgBox = nullptr;
    ShellLauncher *launcher = nullptr;
    SpecialFolders *folders = nullptr;
    ShortcutWriter *shortcuts = nullptr;
    // Full path of the running executable.
    QString exePath;
    // Where the help pages are, as a URL ending in "/"; VELMORA_HELP_BASE replaces it when set.
    QString helpBase;
};
