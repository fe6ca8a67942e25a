#pragma once

#include "address/PostalEntry.h"
#include "address/PostalRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVarLengthArray>
#include <array>
#include <vector>

// The postal codes of all Japan: code → towns or business, and address → code by the longest town
// that the address begins with. Built once (shipped file, then Japan Post's own files on top), then
// only read, so one instance may serve several threads.
class PostalDirectory {
public:
    // Nearly every code has one entry: no allocation for a few.
    using Entries = QVarLengthArray<PostalEntry, 4>;

    PostalDirectory();

    // Takes the shipped directory file (made by tools/make-postal-data.js) in place of all content.
    // On a damaged or foreign file it returns false, leaves the directory empty and tells why.
    bool loadShipped(const QByteArray &bytes, QString *error = nullptr);

    // Japan Post's own files replace the towns or the businesses of the shipped data as a whole.
    void removeTowns();
    void removeBusinesses();
    void add(const PostalRecord &record);
    // Sorts and indexes; to be called after the last change and before the first look-up.
    void finish();

    qsizetype entryCount() const { return qsizetype(m_records.size()); }
    qsizetype codeCount() const;
    // Every entry in code order, for checks over the whole data.
    PostalEntry entryAt(qsizetype index) const;

    // Entries of one code in the order the source gave them; empty when the code is unknown.
    Entries find(quint32 code) const;
    // The town entries (never businesses) whose key is the longest beginning of the address, compared
    // as PostalText::fold folds it. A town's keys are prefecture + city + town, city + town, and (for a
    // town with a name) prefecture + town; a building with codes of its own has the building's name in
    // its town, so it has keys of its own.
    Entries findByAddress(QStringView address) const;
    // The same over text already folded, also telling the length of the key found (0: none).
    Entries findLongestKey(QStringView folded, qsizetype *keyLength) const;

    // Bytes held for the data and its indexes.
    qsizetype memoryBytes() const;

    static QStringView prefectureName(int number);
    // 1 to 47, or 0 for a name that is not a prefecture.
    static int prefectureNumber(QStringView name);

private:
    struct Span {
        quint32 off = 0;
        quint32 len = 0;
    };
    struct City {
        int prefecture = 0;
        Span name;
    };
    struct Record {
        quint32 code = 0;
        quint32 city = 0;
        Span town;
        Span street;
        Span note;
        Span business;
        Span kana;
        bool isBusiness = false;
    };
    struct Slot {
        quint32 hash = 0;
        quint32 ref = 0; // record index + 1, with the kind of key in the top bits; 0: free
    };
    static constexpr quint32 kNoPrefecture = 0x80000000u;
    static constexpr quint32 kNoCity = 0x40000000u;
    static constexpr quint32 kKindBits = kNoPrefecture | kNoCity;
    static int kindOf(quint32 ref) { return ref & kNoPrefecture ? 1 : ref & kNoCity ? 2 : 0; }

    QStringView view(Span span) const { return QStringView(m_pool).mid(span.off, span.len); }
    Span store(const QString &text);
    quint32 cityIndex(int prefecture, const QString &name);
    void clear();
    void insertKey(quint32 hash, quint32 ref);
    bool keyEquals(quint32 ref, const char16_t *folded, qsizetype length) const;
    template <typename Buffer> void appendKey(Buffer &key, quint32 ref) const;

    QString m_pool; // all text; spans point into it
    std::vector<City> m_cities;
    std::vector<Record> m_records;              // sorted by code after finish()
    std::vector<quint32> m_codes;               // the records' codes, for a cache-friendly search
    std::array<quint32, 1001> m_firstOfBlock{}; // first record of each leading three digits
    std::vector<Slot> m_slots; // open-addressing hash of the address keys, one slot per distinct key
    // Further records of the same key, by record index (0: none; else index + 1), one chain for each
    // kind of key.
    std::vector<quint32> m_sameKey[3];
    quint32 m_slotMask = 0;
};
