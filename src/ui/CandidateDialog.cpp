#include "ui/CandidateDialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

CandidateDialog::CandidateDialog(QWidget *parent) : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("住所の候補"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    resize(480, 300);
}

std::optional<qsizetype> CandidateDialog::choose(const QStringList &candidates)
{
    m_list->clear();
    m_list->addItems(candidates);
    m_list->setCurrentRow(0);
    m_list->setFocus();
    if (exec() != QDialog::Accepted || m_list->currentRow() < 0)
        return std::nullopt;
    return m_list->currentRow();
}
