#pragma once

#include <QString>

// Reads a raw Windows command line (GetCommandLineW) the way the C runtime does. Pure text work, so it
// is built and tested on every platform.
class WindowsCommandLine {
public:
    // What follows the program's name: the blanks around it and one pair of quotes enclosing all of it
    // removed, so that "C:\a b\x Velmo.txt" names the file. Inside the rest, quotes and blanks stay as
    // typed: an unquoted path with blanks arrives whole.
    static QString argumentText(const QString &commandLine);
};
