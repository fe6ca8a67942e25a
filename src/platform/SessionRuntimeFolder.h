#pragma once

// Without a login session (root under xvfb-run, a service) XDG_RUNTIME_DIR is unset, and Qt then
// warns on every start and falls back to a folder in /tmp whose name anyone may take first. The
// user's own private runtime folder, the one a request's lock uses, is named instead, for Qt and the
// web engine alike. Call before the application object exists.
void prepareSessionRuntimeFolder();
