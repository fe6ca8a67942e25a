#pragma once

// Chromium refuses to run as root with its sandbox on: only then is the sandbox switched off, and
// said so on standard error. Call before the application object exists.
void prepareWebEngineSandbox();
