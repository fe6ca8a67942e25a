#include "address/PostalDataAge.h"

using namespace Qt::Literals::StringLiterals;

std::optional<QString> PostalDataAge::staleWarning(const QString &date, QDate today,
                                                   const QString &howToUpdate)
{
    const QDate published = QDate::fromString(date, Qt::ISODate);
    // A date in the future (a clock set wrong) is no reason to alarm the user either.
    if (!published.isValid() || !today.isValid() || published.daysTo(today) <= kStaleAfterDays)
        return std::nullopt;
    return u"郵便番号データ（%1）が古くなっています"_s.arg(date) +
           (howToUpdate.isEmpty() ? QString() : u"（%1）"_s.arg(howToUpdate));
}
