#include "ui/ListColumnDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kCellWidth = 160;
constexpr qsizetype kSampleLength = 16;

// The column's name with what the first row holds in it, to choose it by.
QString choiceName(qsizetype column, const QStringList &firstRow)
{
    const QString sample = firstRow.value(column).simplified();
    if (sample.isEmpty())
        return ListColumnDialog::columnName(column);
    return ListColumnDialog::columnName(column) + u"　"_s + sample.left(kSampleLength) +
           (sample.size() > kSampleLength ? u"…"_s : QString());
}

QTableWidget *rowsTable(const QList<QStringList> &rows, QWidget *parent)
{
    qsizetype width = 0;
    for (const QStringList &row : rows)
        width = std::max(width, row.size());
    auto *table = new QTableWidget(int(rows.size()), int(width), parent);
    QStringList names;
    for (qsizetype column = 0; column < width; ++column)
        names.append(ListColumnDialog::columnName(column));
    table->setHorizontalHeaderLabels(names);
    for (qsizetype r = 0; r < rows.size(); ++r)
        for (qsizetype c = 0; c < rows[r].size(); ++c)
            table->setItem(int(r), int(c), new QTableWidgetItem(rows[r][c]));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setWordWrap(false);
    table->resizeColumnsToContents();
    for (int c = 0; c < table->columnCount(); ++c)
        table->setColumnWidth(c, std::min(table->columnWidth(c), kCellWidth));
    table->setMinimumWidth(560);
    // As tall as its few rows, a scroll bar's room kept for wide lists.
    table->setFixedHeight(table->verticalHeader()->length() + table->horizontalHeader()->sizeHint().height() +
                          table->horizontalScrollBar()->sizeHint().height() + 2 * table->frameWidth());
    return table;
}

} // namespace

QString ListColumnDialog::columnName(qsizetype column)
{
    QString letters;
    for (qsizetype n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + char16_t((n - 1) % 26)));
    return u"%1 (%2)"_s.arg(column + 1).arg(letters);
}

ListColumnDialog::ListColumnDialog(const QString &fileName, const QList<QStringList> &rows, QWidget *parent)
    : QDialog(parent), m_code(new QComboBox(this)), m_address(new QListWidget(this)),
      m_header(new QCheckBox(u"1 行目は見出し（列の名前）で、データではない"_s, this)),
      m_problem(new QLabel(this))
{
    setWindowTitle(QGuiApplication::applicationDisplayName());
    auto *intro = new QLabel(
        u"「%1」の 1 行目に見出し（郵便番号、住所など）が見つかりません。\n郵便番号と住所の列を選んでください。"_s
            .arg(fileName),
        this);
    intro->setTextFormat(Qt::PlainText);
    // Only the first row's columns can be named, as on the command line.
    const QStringList firstRow = rows.value(0);
    m_code->addItem(u"なし（列を足して書き込む）"_s);
    for (qsizetype column = 0; column < firstRow.size(); ++column) {
        m_code->addItem(choiceName(column, firstRow));
        auto *item = new QListWidgetItem(choiceName(column, firstRow), m_address);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_address->setMaximumHeight(m_address->sizeHintForRow(0) * 6 + 2 * m_address->frameWidth());
    m_problem->setTextFormat(Qt::PlainText);

    auto *form = new QFormLayout;
    form->addRow(u"郵便番号の列:"_s, m_code);
    form->addRow(u"住所の列（複数なら左から順に\nつなげます）:"_s, m_address);
    form->addRow(m_header);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(u"OK"_s, QDialogButtonBox::AcceptRole);
    buttons->addButton(u"キャンセル"_s, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_code, &QComboBox::currentIndexChanged, this, &ListColumnDialog::showProblem);
    connect(m_address, &QListWidget::itemChanged, this, &ListColumnDialog::showProblem);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(rowsTable(rows, this));
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
    showProblem();
}

std::optional<ListColumns> ListColumnDialog::columns() const
{
    ListColumns chosen;
    chosen.code = m_code->currentIndex() - 1;
    for (int row = 0; row < m_address->count(); ++row) {
        if (m_address->item(row)->checkState() != Qt::Checked)
            continue;
        chosen.address.append(row);
        chosen.parts.append(ListColumns::Part::Whole);
    }
    chosen.header = m_header->isChecked();
    if ((chosen.code < 0 && chosen.address.isEmpty()) || chosen.address.contains(chosen.code))
        return std::nullopt;
    return chosen;
}

void ListColumnDialog::showProblem()
{
    const bool chosen = columns().has_value();
    m_ok->setEnabled(chosen);
    m_problem->setText(chosen                       ? QString()
                       : m_code->currentIndex() > 0 ? u"郵便番号の列を住所の列にもすることはできません"_s
                                                    : u"郵便番号の列か住所の列を選んでください"_s);
}

std::optional<ListColumns> ListColumnDialog::ask(const QString &fileName, const QList<QStringList> &rows,
                                                 QWidget &parent)
{
    ListColumnDialog dialog(fileName, rows, &parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.columns();
}
