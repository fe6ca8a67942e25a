#include "platform/SessionRuntimeFolder.h"

// Windows has no session runtime folder to name.
void prepareSessionRuntimeFolder() {}
