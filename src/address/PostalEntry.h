#pragma once

#include <QString>
#include <QStringView>

// One answer of the directory: a town (or one floor of a building with its own codes) or a business
// with its own code. The views point into the directory that gave it and live as long as it does.
struct PostalEntry {
    quint32 code = 0;
    QStringView prefecture;
    QStringView city;
    QStringView town;
    // Part of the address after the town: a business's block and building, or a building floor.
    QStringView street;
    // Japan Post's remark on the town, such as "（１～１９丁目）": it tells candidates apart but is not
    // part of any address.
    QStringView note;
    QStringView business;
    // Reading of the town, or of the business name, in full-width katakana; empty when not known.
    QStringView kana;
    bool isBusiness = false;

    QString address() const
    {
        QString text;
        text.reserve(prefecture.size() + city.size() + town.size() + street.size());
        text.append(prefecture).append(city).append(town).append(street);
        return text;
    }
};
