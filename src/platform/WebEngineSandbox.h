#pragma once

// Chromium refuses to run as root with its sandbox on: only then is the sandbox switched off, and
// said so on standard error. Call before the application object exists. True when it was switched
// off here, so that the web engine's own "disabled by user" can be left unsaid.
bool prepareWebEngineSandbox();
