#include "ui/BrowserContextMenu.h"

#include <QMenu>
#include <QWebEngineContextMenuRequest>

#include <optional>

using Place = BrowserContextMenu::Place;
using Action = QWebEnginePage::WebAction;

const std::array<BrowserContextMenu::Item, 13> BrowserContextMenu::kItems{{
    {Place::Editable, Action::Undo, u"元に戻す"},
    {Place::Editable, Action::Cut, u"切り取り"},
    {Place::Editable, Action::Copy, u"コピー"},
    {Place::Editable, Action::Paste, u"貼り付け"},
    {Place::Editable, Action::SelectAll, u"すべて選択"},
    {Place::Link, Action::OpenLinkInThisWindow, u"リンクを開く"},
    {Place::Link, Action::CopyLinkToClipboard, u"リンクのアドレスをコピー"},
    {Place::Image, Action::CopyImageToClipboard, u"画像をコピー"},
    {Place::Selection, Action::Copy, u"コピー"},
    {Place::Page, Action::Back, u"戻る"},
    {Place::Page, Action::Forward, u"進む"},
    {Place::Page, Action::Reload, u"再読み込み"},
    {Place::Page, Action::SavePage, u"ページを保存…"},
}};

namespace {

bool isAt(const QWebEngineContextMenuRequest &request, Place place)
{
    const bool editable = request.isContentEditable();
    const bool link = !editable && !request.linkUrl().isEmpty();
    const bool image = !editable && request.mediaType() == QWebEngineContextMenuRequest::MediaTypeImage;
    const bool selection = !editable && !request.selectedText().isEmpty();
    switch (place) {
    case Place::Editable:
        return editable;
    case Place::Link:
        return link;
    case Place::Image:
        return image;
    case Place::Selection:
        return selection;
    case Place::Page:
        return !editable && !link && !image && !selection;
    }
    return false;
}

// An edit in a box is possible as the engine said when the menu was asked for; the rest as the page
// says now (Back and Forward by its history).
bool isEnabled(const QWebEngineContextMenuRequest &request, QWebEnginePage &page, Action action)
{
    using Flag = QWebEngineContextMenuRequest::EditFlag;
    const auto flags = request.editFlags();
    switch (action) {
    case Action::Undo:
        return flags.testFlag(Flag::CanUndo);
    case Action::Cut:
        return flags.testFlag(Flag::CanCut);
    case Action::Copy:
        return flags.testFlag(Flag::CanCopy) || !request.selectedText().isEmpty();
    case Action::Paste:
        return flags.testFlag(Flag::CanPaste);
    case Action::SelectAll:
        return flags.testFlag(Flag::CanSelectAll);
    default:
        return page.action(action)->isEnabled();
    }
}

} // namespace

QMenu *BrowserContextMenu::create(const QWebEngineContextMenuRequest &request, QWebEnginePage &page,
                                  std::function<void()> savePage, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    std::optional<Place> lastPlace;
    for (const Item &item : kItems) {
        if (!isAt(request, item.place))
            continue;
        if (lastPlace && *lastPlace != item.place)
            menu->addSeparator();
        lastPlace = item.place;
        QAction *action = menu->addAction(QString::fromUtf16(item.caption));
        action->setEnabled(isEnabled(request, page, item.action));
        // Once the menu has closed: a save opens a dialog of its own.
        if (item.action == Action::SavePage)
            QObject::connect(action, &QAction::triggered, &page, savePage, Qt::QueuedConnection);
        else
            QObject::connect(action, &QAction::triggered, &page,
                             [&page, webAction = item.action] { page.triggerAction(webAction); });
    }
    if (menu->isEmpty()) {
        delete menu;
        return nullptr;
    }
    return menu;
}
