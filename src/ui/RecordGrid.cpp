#include "ui/RecordGrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace {

class CommitEveryKeystroke : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            auto *self = const_cast<CommitEveryKeystroke *>(this);
            connect(line, &QLineEdit::textEdited, self, [self, line] { emit self->commitData(line); });
        }
        return editor;
    }
};

QFont japaneseFont()
{
    QFont font;
    // The design's font where it is installed, else a Japanese face the system has.
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic")});
    return font;
}

} // namespace

RecordGrid::RecordGrid(QWidget *parent) : QTableWidget(1, 4, parent)
{
    setFont(japaneseFont());
    setHorizontalHeaderLabels({QStringLiteral("郵便番号"), QStringLiteral("住所"), QStringLiteral("会社等"),
                               QStringLiteral("MAP URL")});
    verticalHeader()->setVisible(false);
    setItemDelegate(new CommitEveryKeystroke(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::SelectedClicked);
    // Column widths in character widths of the grid's font.
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const double widths[4] = {7.12, 33.75, 20.62, 56.5};
    for (int c = 0; c < 4; ++c) {
        setColumnWidth(c, qRound(widths[c] * charWidth) + 8);
        setItem(0, c, new QTableWidgetItem());
    }
    connect(this, &QTableWidget::itemChanged, this, [this] {
        if (!m_updating)
            emit edited();
    });
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
        const QString url = cell(Column::MapUrl);
        if (column == int(Column::MapUrl) && !url.isEmpty())
            emit mapUrlActivated(url);
    });
}

void RecordGrid::setCell(Column column, const QString &text)
{
    const bool wasUpdating = std::exchange(m_updating, true);
    item(0, int(column))->setText(text);
    m_updating = wasUpdating;
}

QString RecordGrid::cell(Column column) const
{
    return item(0, int(column))->text();
}

void RecordGrid::showRecord(const AddressRecord &record)
{
    setCell(Column::PostalCode, record.postalCode);
    setCell(Column::Address, record.address);
    setCell(Column::Company, record.company);
    setCell(Column::MapUrl, record.mapUrl);
}

AddressRecord RecordGrid::readRecord() const
{
    return {cell(Column::PostalCode), cell(Column::Address), cell(Column::Company), cell(Column::MapUrl)};
}
