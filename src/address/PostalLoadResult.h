#pragma once

#include "address/PostalDirectory.h"

#include <QString>
#include <QStringList>
#include <memory>

// The directory as loaded, with a status-bar text for each file that could not be used.
struct PostalLoadResult {
    std::shared_ptr<const PostalDirectory> directory;
    QStringList messages;
    // When the data was published, as "2026-05-29"; empty when unknown.
    QString dataDate;
};
