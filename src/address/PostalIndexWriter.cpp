#include "address/PostalIndexWriter.h"

#include "address/PostalDirectory.h"
#include "address/PostalKey.h"

#include <QHash>
#include <algorithm>
#include <numeric>

namespace F = PostalIndexFormat;

namespace {

quint32 hashText(QStringView text)
{
    quint32 h = PostalKey::kHashBasis;
    for (QChar c : text)
        h = PostalKey::hashStep(h, c.unicode());
    return h;
}

std::size_t alignUp(std::size_t n)
{
    return (n + F::kAlignment - 1) & ~(F::kAlignment - 1);
}

} // namespace

PostalIndexWriter::PostalIndexWriter(QByteArray sources)
    : m_sources(std::move(sources)), m_stringSlots(1 << 16, 0)
{
}

quint32 PostalIndexWriter::intern(QStringView text)
{
    if (text.isEmpty())
        return 0;
    // One code unit holds the length; no field of Japan Post's comes near the limit.
    text = text.left(0xFFFF);
    const quint32 mask = quint32(m_stringSlots.size() - 1);
    for (quint32 i = hashText(text) & mask;; i = (i + 1) & mask) {
        const quint32 slot = m_stringSlots[i];
        if (slot == 0) {
            const quint32 offset = quint32(m_strings.size());
            m_strings.push_back(char16_t(text.size()));
            for (QChar c : text)
                m_strings.push_back(c.unicode());
            m_stringSlots[i] = offset + 1;
            if (++m_stringCount * 2 > m_stringSlots.size()) {
                // Grow: every string is found again from its offset.
                std::vector<quint32> old(m_stringSlots.size() * 2, 0);
                old.swap(m_stringSlots);
                const quint32 newMask = quint32(m_stringSlots.size() - 1);
                for (quint32 s : old) {
                    if (s == 0)
                        continue;
                    const QStringView stored(m_strings.data() + s, m_strings[s - 1]);
                    quint32 j = hashText(stored) & newMask;
                    while (m_stringSlots[j] != 0)
                        j = (j + 1) & newMask;
                    m_stringSlots[j] = s;
                }
            }
            return offset;
        }
        const QStringView stored(m_strings.data() + slot, m_strings[slot - 1]);
        if (stored == text)
            return slot - 1;
    }
}

quint16 PostalIndexWriter::cityIndex(int prefecture, QStringView name)
{
    const quint32 nameOffset = intern(name);
    // Japan Post's files come grouped by city, so the last few cities nearly always hit.
    const std::size_t n = m_cities.size();
    for (std::size_t i = n; i > 0 && i + 8 > n; --i)
        if (m_cities[i - 1].prefecture == prefecture && m_cities[i - 1].name == nameOffset)
            return quint16(i - 1);
    for (std::size_t i = 0; i < n; ++i)
        if (m_cities[i].prefecture == prefecture && m_cities[i].name == nameOffset)
            return quint16(i);
    m_cities.push_back(City{nameOffset, prefecture});
    return quint16(m_cities.size() - 1);
}

void PostalIndexWriter::add(const PostalRecordView &record)
{
    Record r;
    r.code = record.code;
    r.city = cityIndex(record.prefecture, record.city);
    r.flags = record.isBusiness ? F::Business : 0;
    r.strings[0] = intern(record.town);
    r.strings[1] = intern(record.street);
    r.strings[2] = intern(record.note);
    r.strings[3] = intern(record.business);
    r.strings[4] = intern(record.kana);
    m_records.push_back(r);
}

void PostalIndexWriter::addFrom(const PostalDirectory &directory, bool businesses)
{
    for (qsizetype i = 0; i < directory.entryCount(); ++i) {
        const PostalEntry e = directory.entryAt(i);
        if (e.isBusiness != businesses)
            continue;
        add(PostalRecordView{e.code, PostalDirectory::prefectureNumber(e.prefecture), e.city, e.town,
                             e.street, e.note, e.business, e.kana, e.isBusiness});
    }
}

QByteArray PostalIndexWriter::finish() const
{
    // Code order; stable, so that the towns of one code keep Japan Post's order.
    std::vector<quint32> order(m_records.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](quint32 a, quint32 b) { return m_records[a].code < m_records[b].code; });
    std::vector<F::Record> records(m_records.size());
    std::vector<F::Extra> extras;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Record &r = m_records[order[i]];
        quint32 extra = 0;
        if (r.strings[1] != 0 || r.strings[2] != 0 || r.strings[3] != 0) {
            extras.push_back(F::Extra{r.strings[1], r.strings[2], r.strings[3]});
            extra = quint32(extras.size());
        }
        records[i] = F::Record{r.code, r.city, r.flags, r.strings[0], r.strings[4], extra};
    }
    std::vector<quint32> blocks(1001);
    for (quint32 block = 0, r = 0; block <= 1000; ++block) {
        while (r < records.size() && records[r].code / 10000 < block)
            ++r;
        blocks[block] = r;
    }
    std::vector<F::City> cities(m_cities.size());
    for (std::size_t i = 0; i < m_cities.size(); ++i)
        cities[i] = F::City{m_cities[i].name, quint8(m_cities[i].prefecture), {}};

    auto text = [&](quint32 offset) { return QStringView(m_strings.data() + offset + 1, m_strings[offset]); };
    auto prefectureOf = [&](const F::Record &r) {
        return PostalDirectory::prefectureName(cities[r.city].prefecture);
    };
    auto keyOf = [&](F::KeyKind kind, const F::Record &r) {
        return PostalKey::make(kind, prefectureOf(r), text(cities[r.city].name), text(r.town));
    };

    // A town is found without its city only where no other city of the prefecture has a town of
    // that name: otherwise the address does not say which is meant.
    QHash<QString, int> cityOfTown; // prefecture and folded town → city, or -1 for several
    for (const F::Record &r : records) {
        if ((r.flags & F::Business) || r.town == 0)
            continue;
        const PostalKey::Text town = keyOf(F::KeyKind::PrefectureTown, r);
        const QString key = QString::fromUtf16(town.constData(), town.size());
        const auto it = cityOfTown.find(key);
        if (it == cityOfTown.end())
            cityOfTown.insert(key, r.city);
        else if (*it != r.city)
            *it = -1;
    }

    // Every key of every town, then the distinct keys with the records of each.
    struct Key {
        quint32 hash;
        quint32 kind;
        quint32 record;
        quint32 distinct;
    };
    std::vector<Key> keys;
    keys.reserve(records.size() * 3);
    for (quint32 i = 0; i < records.size(); ++i) {
        const F::Record &r = records[i];
        if (r.flags & F::Business)
            continue;
        for (F::KeyKind kind :
             {F::KeyKind::PrefectureCityTown, F::KeyKind::CityTown, F::KeyKind::PrefectureTown}) {
            const PostalKey::Text key = keyOf(kind, r);
            if (kind == F::KeyKind::PrefectureTown &&
                (r.town == 0 || cityOfTown.value(QString::fromUtf16(key.constData(), key.size())) != r.city))
                continue;
            keys.push_back(Key{PostalKey::hash(key), quint32(kind), i, 0});
        }
    }
    std::size_t slotCount = 1024;
    while (slotCount < keys.size() * 3)
        slotCount *= 2;
    const quint32 mask = quint32(slotCount - 1);
    std::vector<quint32> firstKey(slotCount, 0); // index in keys + 1 of a distinct key's first
    std::vector<quint32> distinctFirst;          // per distinct key: its first key
    std::vector<quint32> distinctCount;
    for (quint32 k = 0; k < keys.size(); ++k) {
        Key &key = keys[k];
        PostalKey::Text keyText;
        bool haveText = false;
        quint32 i = key.hash & mask;
        for (;; i = (i + 1) & mask) {
            if (firstKey[i] == 0) {
                firstKey[i] = k + 1;
                key.distinct = quint32(distinctFirst.size());
                distinctFirst.push_back(k);
                distinctCount.push_back(1);
                break;
            }
            const Key &other = keys[firstKey[i] - 1];
            if (other.hash != key.hash || other.kind != key.kind)
                continue;
            if (!haveText) {
                keyText = keyOf(F::KeyKind(key.kind), records[key.record]);
                haveText = true;
            }
            if (keyOf(F::KeyKind(other.kind), records[other.record]) != keyText)
                continue;
            key.distinct = other.distinct;
            ++distinctCount[other.distinct];
            break;
        }
    }
    // A key of one record (most keys) keeps it in its slot; the others list theirs in Postings.
    std::vector<quint32> slotValue(distinctFirst.size());
    std::vector<quint32> postings;
    for (std::size_t d = 0; d < distinctFirst.size(); ++d) {
        if (distinctCount[d] == 1) {
            slotValue[d] = keys[distinctFirst[d]].record;
            continue;
        }
        slotValue[d] = quint32(postings.size());
        postings.push_back(distinctCount[d]);
        postings.resize(postings.size() + distinctCount[d]);
    }
    std::vector<quint32> filled(distinctFirst.size(), 0);
    for (const Key &key : keys)
        if (distinctCount[key.distinct] > 1)
            postings[slotValue[key.distinct] + 1 + filled[key.distinct]++] = key.record;
    if (postings.size() >= F::Slot::kValueMask || records.size() >= F::Slot::kValueMask)
        qFatal("postal index: too many records for the slot layout");

    // The file's table holds distinct keys only, at most two thirds full: a search probes many
    // prefixes that are no key, and each such probe runs to the next free slot.
    std::size_t tableSize = 1024;
    while (tableSize * 2 < distinctFirst.size() * 3)
        tableSize *= 2;
    const quint32 tableMask = quint32(tableSize - 1);
    std::vector<quint32> slotTable(tableSize, 0);
    for (std::size_t d = 0; d < distinctFirst.size(); ++d) {
        const Key &key = keys[distinctFirst[d]];
        quint32 i = key.hash & tableMask;
        while (slotTable[i] != 0)
            i = (i + 1) & tableMask;
        slotTable[i] = F::Slot::make(key.hash, F::KeyKind(key.kind), distinctCount[d] == 1, slotValue[d]);
    }

    // Header, then the sections in order, each aligned.
    QByteArray out(alignUp(sizeof(F::Header)), '\0');
    F::Header header;
    std::copy(std::begin(F::kMagic), std::end(F::kMagic), header.magic);
    header.version = F::kVersion;
    header.byteOrder = F::kByteOrderMark;
    const QByteArray date = m_date.toUtf8().left(sizeof(header.date) - 1);
    std::copy(date.begin(), date.end(), header.date);
    auto append = [&](F::Section section, const void *data, std::size_t bytes) {
        header.sections[std::size_t(section)] = F::SectionRange{quint32(out.size()), quint32(bytes)};
        out.append(static_cast<const char *>(data), qsizetype(bytes));
        out.append(QByteArray(qsizetype(alignUp(bytes) - bytes), '\0'));
    };
    append(F::Section::Strings, m_strings.data(), m_strings.size() * sizeof(char16_t));
    append(F::Section::Cities, cities.data(), cities.size() * sizeof(F::City));
    append(F::Section::Records, records.data(), records.size() * sizeof(F::Record));
    append(F::Section::Extras, extras.data(), extras.size() * sizeof(F::Extra));
    append(F::Section::Blocks, blocks.data(), blocks.size() * sizeof(quint32));
    append(F::Section::Slots, slotTable.data(), slotTable.size() * sizeof(quint32));
    append(F::Section::Postings, postings.data(), postings.size() * sizeof(quint32));
    append(F::Section::Sources, m_sources.constData(), std::size_t(m_sources.size()));
    header.fileBytes = quint64(out.size());
    header.checksum = F::fileChecksum(header, QByteArrayView(out).sliced(qsizetype(alignUp(sizeof header))));
    std::memcpy(out.data(), &header, sizeof header);
    return out;
}
