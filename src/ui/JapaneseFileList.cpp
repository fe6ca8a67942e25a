#include "ui/JapaneseFileList.h"

#include <QFileSystemModel>
#include <QLocale>

namespace {

// QFileSystemModel's columns.
constexpr int SizeColumn = 1;
constexpr int DateColumn = 3;

} // namespace

QVariant JapaneseFileList::data(const QModelIndex &index, int role) const
{
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (!files || role != Qt::DisplayRole || (index.column() != SizeColumn && index.column() != DateColumn))
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    if (index.column() == DateColumn)
        return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
    // Folders have no size in the list.
    return files->isDir(source) ? QString() : QLocale().formattedDataSize(files->size(source));
}
