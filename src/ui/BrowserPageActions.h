#pragma once

#include <memory>

class BrowserEngineHost;
class FileManager;
class QPrinter;
class SpecialFolders;
class QString;
class QWidget;

// What the panel's print, page-setup, save and document buttons do with the page shown, asking the
// user through dialogs in Japanese (the save dialog is Qt's own where the platform's would speak another
// language). Each gives up quietly when the engine is not up.
class BrowserPageActions {
public:
    // Null services leave their part out: no folder suggested for a save, no document handed on.
    struct Services {
        FileManager *fileManager = nullptr;
        const SpecialFolders *folders = nullptr;
    };

    // The dialogs open over the panel.
    BrowserPageActions(BrowserEngineHost &engine, QWidget &panel, const Services &services);
    ~BrowserPageActions();

    void print();
    // Changes the printer of this run, which every later print uses.
    void pageSetup();
    // The page as one .mhtml file.
    void saveAs();
    // Hands the document shown (an xls or doc page) to the program the user's system uses for it.
    void showDocument(const QString &url);

private:
    QPrinter &printer();

    BrowserEngineHost &m_engine;
    QWidget &m_panel;
    Services m_services;
    std::unique_ptr<QPrinter> m_printer;
    bool m_printing = false;
};
