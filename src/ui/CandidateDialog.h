#pragma once

#include "ui/CandidateChooser.h"

#include <QDialog>

class QListWidget;

// A small modal list of the candidates with OK and Cancel.
class CandidateDialog : public QDialog, public CandidateChooser {
    Q_OBJECT
public:
    explicit CandidateDialog(QWidget *parent = nullptr);

    std::optional<qsizetype> choose(const QStringList &candidates) override;

private:
    QListWidget *m_list;
};
