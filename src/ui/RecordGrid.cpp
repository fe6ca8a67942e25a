#include "ui/RecordGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include <array>

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
            // Its pastes are the grid's to judge.
            line->installEventFilter(self->parent());
        }
        return editor;
    }
};

struct ColumnDesign {
    RecordGrid::Column column;
    const char16_t *header;
    // In character widths of the grid's font.
    double width;
};

// One row per column, left to right.
constexpr std::array<ColumnDesign, 4> kColumns{{
    {RecordGrid::Column::PostalCode, u"郵便番号", 7.12},
    {RecordGrid::Column::Address, u"住所", 33.75},
    {RecordGrid::Column::Company, u"会社等", 20.62},
    {RecordGrid::Column::MapUrl, u"MAP URL", 56.5},
}};

constexpr bool columnRowsFollowTheEnum()
{
    for (size_t i = 0; i < kColumns.size(); ++i)
        if (kColumns[i].column != RecordGrid::Column(i))
            return false;
    return kColumns.size() == size_t(RecordGrid::Column::MapUrl) + 1;
}
static_assert(columnRowsFollowTheEnum());

QFont japaneseFont()
{
    QFont font;
    // The design's font where it is installed, else a Japanese face the system has.
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic")});
    return font;
}

} // namespace

RecordGrid::RecordGrid(QWidget *parent) : QTableWidget(1, int(kColumns.size()), parent)
{
    setFont(japaneseFont());
    verticalHeader()->setVisible(false);
    setItemDelegate(new CommitEveryKeystroke(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::SelectedClicked);
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < int(kColumns.size()); ++c) {
        setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf16(kColumns[c].header)));
        setColumnWidth(c, qRound(kColumns[c].width * charWidth) + 8);
        if (kColumns[c].column == Column::Address)
            m_addressWidth = columnWidth(c);
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

bool RecordGrid::eventFilter(QObject *watched, QEvent *event)
{
    // The shortcut is claimed before the editor's own paste sees it.
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste)) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            emit pasteRequested();
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

void RecordGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        emit pasteRequested();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void RecordGrid::pasteFields(int first, const QStringList &fields)
{
    const QModelIndex current = model()->index(0, first);
    auto *editor = qobject_cast<QLineEdit *>(indexWidget(current));
    if (editor && fields.size() == 1) {
        editor->insert(fields.first());
        commitData(editor);
        return;
    }
    if (editor) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    for (int i = 0; i < fields.size() && first + i < columnCount(); ++i)
        setCell(Column(first + i), fields[i]);
    emit edited();
}

void RecordGrid::setAddressGain(int pixels)
{
    setColumnWidth(int(Column::Address), std::max(1, m_addressWidth + pixels));
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
