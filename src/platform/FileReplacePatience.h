#pragma once

// How long, in milliseconds, a file replacement whose rename the system refuses is tried again (see
// ReplaceRetry): on Windows a moment, for the virus scanner or sync client that has the target open;
// elsewhere none.
int fileReplacePatienceMs();
