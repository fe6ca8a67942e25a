#pragma once

#include <QString>

// Where the program's messages to the user go: on screen a box with an OK button only, no icon and
// the title "Velmora". Texts break their lines with LF alone, on every system. Passed in wherever a message
// may appear, so tests answer it without a person.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const QString &text) = 0;
};
