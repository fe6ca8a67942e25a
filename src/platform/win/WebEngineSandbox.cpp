#include "platform/WebEngineSandbox.h"

// Windows has no root user; the sandbox always stays on.
bool prepareWebEngineSandbox()
{
    return false;
}
