#pragma once

#include "address/PostalIndexFormat.h"
#include "address/PostalRecordView.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <optional>
#include <utility>
#include <vector>

class PostalDirectory;

// Makes a postal-code index file from Japan Post's records: at build time for the shipped data, and
// at run time for the user's own files, which are then cached. Strings are stored once however many
// records share them (a building's floors, a town's kana).
class PostalIndexWriter {
public:
    // What the index holds of each kind, towns and businesses: over three times Japan Post's towns
    // (about 124,000) and far more than its businesses (about 22,000) or cities (under 2,000). A
    // town's keys may each list all of its kind's records: the slots' record numbers must reach that.
    static constexpr qsizetype kMaxRecordsOfAKind = 400000;
    static constexpr qsizetype kMaxCitiesOfAKind = 32768; // both kinds together: a quint16 index
    static_assert(kMaxRecordsOfAKind * 2 < PostalIndexFormat::Slot::kValueMask &&
                  kMaxRecordsOfAKind * 9 / 2 < PostalIndexFormat::Slot::kValueMask);

    // sources: what the index was made from, kept in it for a cache to compare.
    explicit PostalIndexWriter(QByteArray sources);

    // The data's date, "YYYY-MM-DD"; empty when not known.
    void setDate(const QString &date) { m_date = date; }

    // Room for this many records: a file's size tells about how many it holds.
    void reserve(qsizetype records);
    // False, adding nothing, when the record's kind already fills its share of records or cities.
    bool add(const PostalRecordView &record);
    // Every town, or every business, of a directory: to keep the shipped businesses when the user
    // gives only towns, or the reverse. False when some did not fit.
    bool addFrom(const PostalDirectory &directory, bool businesses);

    qsizetype recordCount() const { return qsizetype(m_records.size()); }
    // Drops the records added after the first count, and the cities only they had: what a file gave
    // before it proved unusable.
    void truncate(qsizetype count);

    QByteArray finish() const;

private:
    struct Record {
        quint32 code = 0;
        quint16 city = 0;
        quint16 flags = 0;
        quint32 strings[5] = {}; // town, street, note, business, kana
    };

    // Each section's bytes, in the file's order.
    using Sections = std::array<std::pair<const void *, std::size_t>, PostalIndexFormat::kSectionCount>;

    // The records as the file holds them, in code order, with the extras they point at.
    void sortedRecords(std::vector<PostalIndexFormat::Record> &records,
                       std::vector<PostalIndexFormat::Extra> &extras) const;
    // The header and the sections, each aligned.
    QByteArray assemble(const Sections &sections) const;
    quint32 intern(QStringView text);
    // No value when the name would be one city too many for the kind.
    std::optional<quint16> cityIndex(int prefecture, QStringView name, bool business);

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
        bool business = false;    // the kind of record that brought it
        std::size_t firstUse = 0; // the record that brought it
    };
    std::vector<City> m_cities;
    qsizetype m_counts[2] = {};          // records of each kind: towns, businesses
    qsizetype m_cityCounts[2] = {};      // cities each kind brought
    QHash<quint64, quint16> m_cityIndex; // prefecture and name's offset → index in m_cities
    int m_lastCity = -1;
    std::vector<Record> m_records;
};
