#pragma once

#include <QWebEnginePage>

#include <array>
#include <functional>

class QMenu;
class QWebEngineContextMenuRequest;
class QWidget;

// Our right-click menu for the browser: the web engine's own speaks only the system's language, and
// offers the page's source and the like, which no user here needs.
class BrowserContextMenu {
public:
    // What was right-clicked, from the most particular: an editable box's menu stands alone, a link's,
    // an image's and a selection's go together, and the page's comes when none of those is there.
    enum class Place { Editable, Link, Image, Selection, Page };

    struct Item {
        Place place;
        QWebEnginePage::WebAction action;
        const char16_t *caption;
    };

    // Every item we offer, in menu order; the page's SavePage goes to the program's own save.
    static const std::array<Item, 13> kItems;

    // A menu for the request, made a child of parent and deleted once closed; null when nothing fits.
    static QMenu *create(const QWebEngineContextMenuRequest &request, QWebEnginePage &page,
                         std::function<void()> savePage, QWidget *parent);
};
