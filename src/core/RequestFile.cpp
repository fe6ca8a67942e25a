#include "core/RequestFile.h"

#include "core/Cp932Codec.h"
#include "core/FileSystem.h"
#include "core/MapService.h"

#include <QUrl>

const QString RequestFile::kHeader = QStringLiteral("VelmoraA");

bool RequestFile::namesRequestFile(const QString &argumentText)
{
    return argumentText.endsWith(QLatin1String("Velmo.txt"), Qt::CaseSensitive);
}

std::optional<QString> RequestFile::read(const FileSystem &files, const QString &argumentText,
                                         QByteArray *bytes)
{
    if (!namesRequestFile(argumentText) || !files.fileExists(argumentText) || files.isSymLink(argumentText))
        return std::nullopt;
    const auto content = files.readAll(argumentText);
    if (!content)
        return std::nullopt;
    auto text = files.codec().decode(*content);
    if (!text || !text->startsWith(kHeader, Qt::CaseSensitive))
        return std::nullopt;
    if (bytes)
        *bytes = *content;
    return text;
}

RequestFile::Outcome RequestFile::writeAnswer(const FileSystem &files, const QString &path,
                                              const QByteArray &readAtStart, const QString &answer)
{
    if (files.isSymLink(path) || files.readAll(path) != readAtStart)
        return Outcome::FileChanged;
    return files.writeText(path, answer) ? Outcome::Written : Outcome::WriteFailed;
}

RequestFile::RequestFile(const QString &requestText) : m_fields(requestText.split(u'\t', Qt::KeepEmptyParts))
{
    // A request with fewer than six fields is served with the missing ones empty.
    m_initial.postalCode = field(2);
    m_initial.address = field(3);
    m_initial.company = field(4);
    m_initial.mapUrl = isMapServiceUrl(field(5)) ? field(5) : QString();
}

QString RequestFile::field(qsizetype number) const
{
    return number <= m_fields.size() ? m_fields.at(number - 1) : QString();
}

QString RequestFile::answerFor(const AddressRecord &finalRecord) const
{
    const bool changed = field(4) != finalRecord.company || field(6) != finalRecord.mapUrl;
    return QStringList{kHeader,
                       finalRecord.postalCode,
                       finalRecord.address,
                       finalRecord.company,
                       finalRecord.mapUrl,
                       changed ? QStringLiteral("1") : QStringLiteral("0")}
        .join(u'\t');
}

bool RequestFile::isMapServiceUrl(const QString &url)
{
    // Compared part by part: a URL of another site that merely carries the service's address in its
    // query or path must not get into the browser.
    const QUrl parsed(url, QUrl::StrictMode);
    const QUrl base(MapService::base());
    if (!parsed.isValid() || parsed.scheme() != base.scheme() || !parsed.userInfo().isEmpty() ||
        parsed.host().compare(base.host(), Qt::CaseInsensitive) != 0)
        return false;
    const int defaultPort = parsed.scheme() == QLatin1String("https") ? 443 : 80;
    if (parsed.port(defaultPort) != base.port(defaultPort))
        return false;
    // Both as written and as the browser will resolve its dot segments: "/maps/../search" is no page
    // under /maps, and resolving also folds "//maps" into "/maps", which the browser does not.
    const auto underMaps = [](const QString &path) {
        return path.compare(QLatin1String("/maps"), Qt::CaseInsensitive) == 0 ||
               path.startsWith(QLatin1String("/maps/"), Qt::CaseInsensitive);
    };
    return (parsed.scheme() == QLatin1String("http") || parsed.scheme() == QLatin1String("https")) &&
           underMaps(parsed.path()) && underMaps(parsed.adjusted(QUrl::NormalizePathSegments).path());
}
