#pragma once

#include <QString>
#include <optional>

// Reads a copied map position such as "(35.681382, 139.766084)" and gives the map URL for it. Any
// other copied text gives no value, and so does a latitude beyond ±90 or a longitude beyond ±180. Only
// the number at the start of each part goes into the URL.
namespace MapPosition {
std::optional<QString> mapUrlFor(const QString &copiedText);
}
