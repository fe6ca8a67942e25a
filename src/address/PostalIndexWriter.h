#pragma once

#include "address/PostalRecordView.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

class PostalDirectory;

// Makes a postal-code index file from Japan Post's records: at build time for the shipped data, and
// at run time for the user's own files, which are then cached. Strings are stored once however many
// records share them (a building's floors, a town's kana).
class PostalIndexWriter {
public:
    // sources: what the index was made from, kept in it for a cache to compare.
    explicit PostalIndexWriter(QByteArray sources);

    // The data's date, "YYYY-MM-DD"; empty when not known.
    void setDate(const QString &date) { m_date = date; }

    // Room for this many records: a file's size tells about how many it holds.
    void reserve(qsizetype records);
    void add(const PostalRecordView &record);
    // Every town, or every business, of a directory: to keep the shipped businesses when the user
    // gives only towns, or the reverse.
    void addFrom(const PostalDirectory &directory, bool businesses);

    qsizetype recordCount() const { return qsizetype(m_records.size()); }
    // Drops the records added after the first count: what a file gave before it proved unusable.
    void truncate(qsizetype count) { m_records.resize(std::size_t(count)); }

    QByteArray finish() const;

private:
    struct Record {
        quint32 code = 0;
        quint16 city = 0;
        quint16 flags = 0;
        quint32 strings[5] = {}; // town, street, note, business, kana
    };

    quint32 intern(QStringView text);
    quint16 cityIndex(int prefecture, QStringView name);

    QString m_date;
    QByteArray m_sources;
    std::vector<char16_t> m_strings{0};
    struct StringSlot {
        quint32 hash = 0;
        quint32 offset = 0; // + 1; 0 for a free slot
    };
    std::vector<StringSlot> m_stringSlots; // open-addressing table of the strings stored
    quint32 m_stringCount = 0;
    struct City {
        quint32 name = 0;
        int prefecture = 0;
    };
    std::vector<City> m_cities;
    QHash<quint64, quint16> m_cityIndex; // prefecture and name's offset → index in m_cities
    int m_lastCity = -1;
    std::vector<Record> m_records;
};
