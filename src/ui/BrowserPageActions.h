#pragma once

#include <memory>

class BrowserEngineHost;
class QPrinter;
class QString;
class QWidget;

// What the panel's print, page-setup, save and document buttons do with the page shown, asking the
// user through the platform's dialogs. Each gives up quietly when the engine is not up.
class BrowserPageActions {
public:
    // The dialogs open over the panel.
    BrowserPageActions(BrowserEngineHost &engine, QWidget &panel);
    ~BrowserPageActions();

    void print();
    // Changes the printer of this run, which every later print uses.
    void pageSetup();
    // The page as one .mhtml file.
    void saveAs();
    // Hands the document shown (an xls or doc page) to the program the user's system uses for it.
    static void showDocument(const QString &url);

private:
    QPrinter &printer();

    BrowserEngineHost &m_engine;
    QWidget &m_panel;
    std::unique_ptr<QPrinter> m_printer;
    bool m_printing = false;
};
