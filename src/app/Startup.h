#pragma once

#include <QString>

// Decides how the program was started and runs it: interactively, the main window until it closes;
// with the path of a request file as the whole argument text, that one request, answered into the
// same file. Owns the program's services for the whole run.
class Startup {
public:
    // Returns the process's exit code.
    static int run(const QString &argumentText);
};
