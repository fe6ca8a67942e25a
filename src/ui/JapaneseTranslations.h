#pragma once

#include "ui/MissingQtTexts.h"

#include <QTranslator>

// Makes Qt's own parts (dialog buttons, the file dialog, the text boxes' menus) speak Japanese whatever
// the system's language: Qt's Japanese translation, with ours where it lacks a text. Both stay
// installed while this lives; make it once the application object exists.
class JapaneseTranslations {
public:
    JapaneseTranslations();
    ~JapaneseTranslations();
    JapaneseTranslations(const JapaneseTranslations &) = delete;
    JapaneseTranslations &operator=(const JapaneseTranslations &) = delete;

    // Before the application object: the web engine takes the default locale when it starts.
    static void chooseLocale();
    // Whether the platform's own dialogs speak Japanese; where they do not, the program shows Qt's,
    // which these translations make Japanese.
    static bool platformSpeaksJapanese();

private:
    QTranslator m_qt;
    MissingQtTexts m_missing;
    bool m_qtLoaded = false;
};
