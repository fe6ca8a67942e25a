#pragma once

#include <QStyledItemDelegate>

// Hands every keystroke of a cell editor to the grid at once, so that the record and the F9 button
// follow the user's typing, and a function key pressed mid-edit sees what was typed.
class GridEditDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};
