#pragma once

#include "ui/CandidateChooser.h"

#include <QDialog>

class QLineEdit;
class QListWidget;

// A modal list of the candidates with OK and Cancel, and a filter line above it: a code may be shared by
// sixty towns of one city, all beginning alike, and the user knows the part that differs.
class CandidateDialog : public QDialog, public CandidateChooser {
    Q_OBJECT
public:
    // Rows the list shows at least without scrolling, where the screen has room.
    static constexpr int kVisibleRows = 20;

    explicit CandidateDialog(QWidget *parent = nullptr);

    std::optional<qsizetype> choose(const QStringList &candidates) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void filter(const QString &text);

    QLineEdit *m_filter;
    QListWidget *m_list;
};
