#include "app/GridEditDelegate.h"

#include <QLineEdit>

QWidget *GridEditDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        connect(line, &QLineEdit::textEdited, this,
                [this, line] { emit const_cast<GridEditDelegate *>(this)->commitData(line); });
    }
    return editor;
}
