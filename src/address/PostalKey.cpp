#include "address/PostalKey.h"

PostalKey::Text PostalKey::make(PostalIndexFormat::KeyKind kind, QStringView prefecture, QStringView city,
                                QStringView town)
{
    Text key;
    if (kind != PostalIndexFormat::KeyKind::CityTown)
        appendFolded(key, prefecture);
    if (kind != PostalIndexFormat::KeyKind::PrefectureTown)
        appendFolded(key, city);
    appendFolded(key, town);
    return key;
}
