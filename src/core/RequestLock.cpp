#include "core/RequestLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

RequestLock::RequestLock(const QString &folder, const QString &requestPath)
{
    // One name for every spelling of the path.
    const QString path = QFileInfo(requestPath).canonicalFilePath();
    if (path.isEmpty() || folder.isEmpty())
        return;
    const QByteArray key = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex();
    m_lock = std::make_unique<QLockFile>(QDir(folder).filePath(
        QStringLiteral("velmora-request-") + QString::fromLatin1(key) + QStringLiteral(".lock")));
    // A request stays open as long as the user needs: the lock is stale only when its holder is gone.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        m_state = State::Held;
    else
        // Only a lock another process holds says so; a folder that takes no file is no other window.
        m_state = m_lock->error() == QLockFile::LockFailedError ? State::HeldElsewhere : State::CannotLock;
}
