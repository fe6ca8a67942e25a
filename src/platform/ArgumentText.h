#pragma once

#include <QString>

// The whole argument string the program was started with: on Windows the raw command line after the
// program's name, without one pair of enclosing quotes (see WindowsCommandLine); elsewhere, where the shell
// has split it, the arguments joined by single blanks, so that an unquoted path with blanks arrives whole.
QString argumentText();
