#pragma once

#include <QString>
#include <atomic>

// A console program's standard error and its interruption.
class Console {
public:
    virtual ~Console() = default;
    // Whether standard error is a terminal, where a progress line can be redrawn in place.
    virtual bool errorIsTerminal() const = 0;
    // Text to standard error, in the encoding the terminal, or a file in its place, expects.
    virtual void writeError(const QString &text) = 0;
    // From now on Ctrl+C, SIGTERM (or closing the console) sets flag rather than ending the program, so
    // that its work can stop with nothing half-written. flag must outlive the program's run.
    virtual void cancelOnInterrupt(std::atomic<bool> *flag) = 0;
    // The exit status that tells the caller what stopped the program, as shells have it: 130 for
    // Ctrl+C (SIGINT), 143 for SIGTERM, 129 for a closed terminal (SIGHUP); 0 while nothing has.
    virtual int interruptStatus() const = 0;
};
