#include "address/PostalKey.h"

#include "address/PostalText.h"

void PostalKey::appendFolded(Text &out, QStringView text)
{
    for (QChar ch : text)
        if (const char16_t c = PostalText::fold(ch.unicode()))
            out.append(c);
}

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
