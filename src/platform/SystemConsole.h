#pragma once

#include "platform/Console.h"

// The process's own standard error and interruption.
class SystemConsole : public Console {
public:
    bool errorIsTerminal() const override;
    void writeError(const QString &text) override;
    void cancelOnInterrupt(std::atomic<bool> *flag) override;
    int interruptStatus() const override;
};
