#pragma once

#include <QDate>
#include <QString>
#include <optional>

// How old the postal-code data is, told where the user works with it. Japan Post renews its files each
// month; data two months behind misses the towns renamed or merged since.
class PostalDataAge {
public:
    // Past this many days the data is called old.
    static constexpr int kStaleAfterDays = 62;

    // The warning for data published on date (ISO, as the index records it) when today is today, with
    // how to update it appended; no value while the data is fresh or its date is unknown.
    static std::optional<QString> staleWarning(const QString &date, QDate today, const QString &howToUpdate);
};
