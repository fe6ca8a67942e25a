#include "platform/FileReplacePatience.h"

int fileReplacePatienceMs()
{
    // A file open elsewhere without delete sharing cannot be replaced (a sharing violation, or access
    // denied); scanners and sync clients hold a file they have just seen for well under two seconds.
    return 2000;
}
