#pragma once

#include "settings/SpecialFolders.h"

#include <QMap>

// Special folders that a test chooses; an id it did not set names no folder.
class FakeSpecialFolders : public SpecialFolders {
public:
    QString path(int id, qintptr ownerWnd) override
    {
        m_lastOwner = ownerWnd;
        return m_paths.value(id);
    }
    void set(int id, const QString &path) { m_paths[id] = path; }
    qintptr lastOwner() const { return m_lastOwner; }

private:
    QMap<int, QString> m_paths;
    qintptr m_lastOwner = 0;
};
