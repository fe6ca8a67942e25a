#include "lookup/RequestExchange.h"

#include "app/FileSystem.h"
#include "lookup/MapService.h"

#include <QUrl>

const QString RequestExchange::kHeader = QStringLiteral("VelmoraA");

bool RequestExchange::namesRequestFile(const QString &argText)
{
    return argText.endsWith(QLatin1String("Velmo.txt"), Qt::CaseSensitive);
}

std::optional<QString> RequestExchange::readRequest(const FileSystem &fs, const QString &argText)
{
    if (!namesRequestFile(argText) || !fs.fileExists(argText))
        return std::nullopt;
    auto text = fs.readText(argText);
    if (!text || !text->startsWith(kHeader, Qt::CaseSensitive))
        return std::nullopt;
    return text;
}

RequestExchange::RequestExchange(const QString &requestText)
    : m_fields(requestText.split(u'\t', Qt::KeepEmptyParts))
{
    // A request with fewer than six fields is served with the missing ones empty.
    m_initial.PostCode = field(2);
    m_initial.Address = field(3);
    m_initial.Company = field(4);
    m_initial.MapURL = isMapServiceUrl(field(5)) ? field(5) : QString();
}

QString RequestExchange::field(qsizetype number) const
{
    return number <= m_fields.size() ? m_fields.at(number - 1) : QString();
}

QString RequestExchange::answerFor(const AddressRecord &finalRecord) const
{
    const bool changed = field(4) != finalRecord.Company || field(6) != finalRecord.MapURL;
    return QStringList{kHeader,
                       finalRecord.PostCode,
                       finalRecord.Address,
                       finalRecord.Company,
                       finalRecord.MapURL,
                       changed ? QStringLiteral("1") : QStringLiteral("0")}
        .join(u'\t');
}

bool RequestExchange::isMapServiceUrl(const QString &url)
{
    if (!url.contains(MapService::base() + QStringLiteral("/maps"), Qt::CaseInsensitive))
        return false;
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme(); // QUrl keeps schemes in lower case
    return parsed.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
