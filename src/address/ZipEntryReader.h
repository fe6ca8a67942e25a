#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>

// Takes one file out of a zip archive held in memory, as Japan Post publishes its data. Nothing is
// written anywhere, and an archive from elsewhere is treated as hostile: what it declares about sizes
// is not trusted.
class ZipEntryReader {
public:
    // The content of the one entry named entryName (ASCII, letter case ignored; no folder), or no value
    // when the bytes are no intact zip, no entry or several have that name, the entry is encrypted or
    // damaged, or it unpacks to more than maxBytes.
    // date, where given, receives the date the entry was made (invalid when the archive does not say).
    static std::optional<QByteArray> read(const QByteArray &archive, const QString &entryName,
                                          qint64 maxBytes, QDate *date = nullptr);
};
