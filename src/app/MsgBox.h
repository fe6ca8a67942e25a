#pragma once

#include <QString>

// The program's message box: an OK button only, no icon, the title "Velmora". Texts keep CR
// (character 13) as their line break; the platform side shows it as a line break.
// Passed in wherever a message may appear, so tests answer it without a person.
class MsgBox {
public:
    virtual ~MsgBox() = default;
    virtual void show(const QString &text) = 0;
};
