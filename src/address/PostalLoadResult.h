#pragma once

#include "address/PostalDirectory.h"

#include <QStringList>
#include <memory>

// The directory as loaded, with a status-bar text for each file that could not be used.
struct PostalLoadResult {
    std::shared_ptr<const PostalDirectory> directory;
    QStringList messages;
};
