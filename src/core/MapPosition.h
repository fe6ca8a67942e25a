#pragma once

#include <QString>
#include <optional>

// Reads a copied map position such as "(35.681382, 139.766084)" and gives the map URL for it. Any
// other copied text gives no value. Only the number at the start of each part goes into the URL.
namespace MapPosition {
std::optional<QString> mapUrlFor(const QString &copiedText);
}
