#include "core/MappedFile.h"

#include <QFileInfo>

std::unique_ptr<MappedFile> MappedFile::open(const QString &path, qint64 maxBytes)
{
    // A named pipe or a device has no pages to map and may never end.
    if (!QFileInfo(path).isFile())
        return nullptr;
    std::unique_ptr<MappedFile> mapped(new MappedFile);
    mapped->m_file.setFileName(path);
    if (!mapped->m_file.open(QIODevice::ReadOnly))
        return nullptr;
    const qint64 size = mapped->m_file.size();
    if (size <= 0 || size > maxBytes)
        return nullptr;
    const uchar *data = mapped->m_file.map(0, size);
    if (!data)
        return nullptr;
    mapped->m_bytes = QByteArrayView(data, size);
    return mapped;
}
