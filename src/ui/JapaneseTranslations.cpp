#include "ui/JapaneseTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

JapaneseTranslations::JapaneseTranslations()
{
    m_qtLoaded = m_qt.load(QLocale(), QStringLiteral("qt"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (m_qtLoaded)
        QCoreApplication::installTranslator(&m_qt);
    // Asked first, and answers only what Qt's lacks.
    QCoreApplication::installTranslator(&m_missing);
}

JapaneseTranslations::~JapaneseTranslations()
{
    QCoreApplication::removeTranslator(&m_missing);
    if (m_qtLoaded)
        QCoreApplication::removeTranslator(&m_qt);
}

void JapaneseTranslations::chooseLocale()
{
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

bool JapaneseTranslations::platformSpeaksJapanese()
{
    return QLocale::system().language() == QLocale::Japanese;
}
