#pragma once

#include "app/fmMain.h"

#include <QString>
#include <memory>

class QWidget;

// Start-up and shutdown.
namespace Usr {

// Decides how the program was started and starts it. Interactive: the main window is shown and
// returned; the caller runs the event loop. Request: the request is served and answered, every
// window is closed, and the window is returned only so the caller can delete it in order.
std::unique_ptr<fmMain> Main(const QString &argText, const fmMainServices &services);

// Releases the shared settings object, switches the clipboard watch off and closes every window.
void ShutDown();

void BringToFront(QWidget *window);

// Chromium refuses to run as root with its sandbox on; only then is it switched off, and said so.
void prepareWebEngineSandbox();

} // namespace Usr
