#include "platform/FileReplacePatience.h"

int fileReplacePatienceMs()
{
    // A rename over a file is refused here only for reasons that waiting does not mend (permissions, a
    // read-only or full file system); open files never stand in its way.
    return 0;
}
