#pragma once

#include <QTranslator>

// Qt's own texts that Debian's Japanese translation of Qt lacks (it predates the contexts Qt 6 moved
// them to), answered in Japanese. Every other text is left to Qt's translation.
class MissingQtTexts : public QTranslator {
    Q_OBJECT
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};
