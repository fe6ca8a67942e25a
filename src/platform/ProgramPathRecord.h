#pragma once

#include <QString>

// Where the user's programs of this maker record their executable's path, one value per program name,
// so that the maker's other tools can find them.
class ProgramPathRecord {
public:
    virtual ~ProgramPathRecord() = default;
    // Records the path under the program's name, unless the same path (compared the way the file
    // system compares paths) is recorded already.
    virtual void remember(const QString &programName, const QString &path) = 0;
};
