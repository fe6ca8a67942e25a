#pragma once

#include <QString>

// Map query URLs: query prefix + encoded search value + "&hl=ja&z=16".
namespace MapQuery {

// For any search text; each pair of spaces is first collapsed to one, in one pass from the left.
QString forSearch(const QString &searchText);
// For a postal code, marked with "〒"; the code is used exactly as given.
QString forPostalCode(const QString &postCode);
// For a copied map position; the two parts go in exactly as given, unencoded, so the caller passes
// nothing but numbers.
QString forPosition(const QString &latitude, const QString &longitude);

} // namespace MapQuery
