#pragma once

#include "lists/ListColumns.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

// Asks which columns of a dropped list hold the postal code and the address where its first row does
// not name them, the window's way of velmora-complete's --code-column, --address-column and --header:
// the list's first rows as the list reads, the code's column (or none: one is added), the address's
// columns (one or more, joined in their order) and whether the first row names the columns.
class ListColumnDialog : public QDialog {
    Q_OBJECT
public:
    ListColumnDialog(const QString &fileName, const QList<QStringList> &rows, QWidget *parent = nullptr);

    // The columns as chosen; no value while none is, or while the code's is one of the address's.
    std::optional<ListColumns> columns() const;
    // Modal over parent: the columns chosen on OK, no value on キャンセル.
    static std::optional<ListColumns> ask(const QString &fileName, const QList<QStringList> &rows,
                                          QWidget &parent);
    // "3 (C)": the column's number, as the console takes it, and its letter, as a spreadsheet shows it.
    static QString columnName(qsizetype column);

private:
    void showProblem();

    QComboBox *m_code;
    QListWidget *m_address;
    QCheckBox *m_header;
    QLabel *m_problem;
    QPushButton *m_ok = nullptr;
};
