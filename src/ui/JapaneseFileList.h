#pragma once

#include <QIdentityProxyModel>

// The file list of Qt's own file dialog with sizes and dates in Japanese form. Qt's model writes them
// in the system's locale, not the program's, so a system set to English shows "8 Dec 2026" and
// "123 bytes" in an otherwise Japanese dialog. Give it to QFileDialog::setProxyModel.
class JapaneseFileList : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};
