#pragma once

#include <QString>

// Where the program's messages to the user go: on screen a box with an OK button only, no icon and
// the title "Velmora". Texts keep CR (character 13) as their line break. Passed in wherever a message
// may appear, so tests answer it without a person.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const QString &text) = 0;
};
