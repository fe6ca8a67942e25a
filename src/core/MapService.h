#pragma once

#include <QString>

// Where map pages come from. The base is "https://www.google.com" unless the environment variable
// VELMORA_MAP_BASE, read at the first call, names another (scheme, host and port, no trailing "/"), so tests
// and special setups can point the program at a server of their own. Nothing else about the URLs changes.
namespace MapService {

QString base();
// base + "/maps?q=": the search value and the fixed tail follow.
QString queryPrefix();
// The fixed tail of every map query.
inline QString queryTail()
{
    return QStringLiteral("&hl=ja&z=16");
}
// The browser panel's home and search pages: the map service's own map page and search start page.
QString homePage();
QString searchPage();

} // namespace MapService
