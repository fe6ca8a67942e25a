#pragma once

#include "address/PostalDirectory.h"

#include <QString>
#include <QStringList>
#include <memory>

// The directory as loaded, with a status-bar text for each file that could not be used.
struct PostalLoadResult {
    // Never null: a directory that cannot serve is empty. Its date() is when the data was published.
    std::shared_ptr<const PostalDirectory> directory;
    QStringList messages;
};
