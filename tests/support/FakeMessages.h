#pragma once

#include "core/MessageSink.h"

#include <QStringList>

// Answers every message at once (OK is the only button) and keeps the texts for the test.
class FakeMessages : public MessageSink {
public:
    void show(const QString &text) override { texts.append(text); }
    QStringList texts;
};
