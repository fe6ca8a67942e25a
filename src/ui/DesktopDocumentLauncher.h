#pragma once

#include "ui/DocumentLauncher.h"

// The user's default handler, through the desktop services.
class DesktopDocumentLauncher : public DocumentLauncher {
public:
    bool open(const QUrl &url) override;
};
