#include "address/PostalIndexWriter.h"

#include "address/PostalDirectory.h"
#include "address/PostalKey.h"
#include "address/Prefectures.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <numeric>

namespace F = PostalIndexFormat;

namespace {

quint32 hashText(QStringView text)
{
    return PostalKey::finish(PostalKey::hashOn(PostalKey::kHashBasis, text));
}

std::size_t alignUp(std::size_t n)
{
    return (n + F::kAlignment - 1) & ~(F::kAlignment - 1);
}

} // namespace

PostalIndexWriter::PostalIndexWriter(QByteArray sources)
    : m_sources(std::move(sources)), m_stringSlots(std::size_t(1) << 12)
{
}

void PostalIndexWriter::reserve(qsizetype records)
{
    m_records.reserve(std::size_t(records));
}

quint32 PostalIndexWriter::intern(QStringView text)
{
    if (text.isEmpty())
        return 0;
    // One code unit holds the length; no field of Japan Post's comes near the limit.
    text = text.left(0xFFFF);
    const quint32 hash = hashText(text);
    const quint32 mask = quint32(m_stringSlots.size() - 1);
    for (quint32 i = hash & mask;; i = (i + 1) & mask) {
        const StringSlot slot = m_stringSlots[i];
        if (slot.offset == 0) {
            const quint32 offset = quint32(m_strings.size());
            m_strings.push_back(char16_t(text.size()));
            m_strings.insert(m_strings.end(), text.utf16(), text.utf16() + text.size());
            m_stringSlots[i] = StringSlot{hash, offset + 1};
            if (++m_stringCount * 2 > m_stringSlots.size()) {
                // Grow: the hashes are kept, so no string is read again.
                std::vector<StringSlot> old(m_stringSlots.size() * 2);
                old.swap(m_stringSlots);
                const quint32 newMask = quint32(m_stringSlots.size() - 1);
                for (const StringSlot &s : old) {
                    if (s.offset == 0)
                        continue;
                    quint32 j = s.hash & newMask;
                    while (m_stringSlots[j].offset != 0)
                        j = (j + 1) & newMask;
                    m_stringSlots[j] = s;
                }
            }
            return offset;
        }
        // The hash first: most strings met on the way are others, and reading them is a cache miss.
        if (slot.hash == hash &&
            QStringView(m_strings.data() + slot.offset, m_strings[slot.offset - 1]) == text)
            return slot.offset - 1;
    }
}

std::optional<quint16> PostalIndexWriter::cityIndex(int prefecture, QStringView name, bool business)
{
    // Japan Post's files come grouped by city: the city of the record before nearly always serves.
    if (m_lastCity >= 0 && m_cities[std::size_t(m_lastCity)].prefecture == prefecture &&
        QStringView(m_strings.data() + m_cities[std::size_t(m_lastCity)].name + 1,
                    m_strings[m_cities[std::size_t(m_lastCity)].name]) == name)
        return quint16(m_lastCity);
    const quint64 key = quint64(quint32(prefecture)) << 32 | intern(name);
    auto it = m_cityIndex.constFind(key);
    if (it == m_cityIndex.constEnd()) {
        if (m_cityCounts[business] >= kMaxCitiesOfAKind)
            return std::nullopt;
        ++m_cityCounts[business];
        m_cities.push_back(City{quint32(key), prefecture, business, m_records.size()});
        it = m_cityIndex.insert(key, quint16(m_cities.size() - 1));
    }
    m_lastCity = *it;
    return *it;
}

bool PostalIndexWriter::add(const PostalRecordView &record)
{
    const bool business = record.isBusiness;
    if (m_counts[business] >= kMaxRecordsOfAKind)
        return false;
    const std::optional<quint16> city = cityIndex(record.prefecture, record.city, business);
    if (!city)
        return false;
    Record r;
    r.code = record.code;
    r.city = *city;
    r.flags = business ? F::Business : 0;
    r.strings[0] = intern(record.town);
    r.strings[1] = intern(record.street);
    r.strings[2] = intern(record.note);
    r.strings[3] = intern(record.business);
    r.strings[4] = intern(record.kana);
    m_records.push_back(r);
    ++m_counts[business];
    return true;
}

void PostalIndexWriter::truncate(qsizetype count)
{
    while (m_records.size() > std::size_t(count)) {
        --m_counts[(m_records.back().flags & F::Business) != 0];
        m_records.pop_back();
    }
    while (!m_cities.empty() && m_cities.back().firstUse >= std::size_t(count)) {
        const City &city = m_cities.back();
        m_cityIndex.remove(quint64(quint32(city.prefecture)) << 32 | city.name);
        --m_cityCounts[city.business];
        m_cities.pop_back();
    }
    m_lastCity = -1;
}

bool PostalIndexWriter::addFrom(const PostalDirectory &directory, bool businesses)
{
    bool all = true;
    for (qsizetype i = 0; i < directory.entryCount(); ++i) {
        const PostalEntry e = directory.entryAt(i);
        if (e.isBusiness == businesses)
            all = add(PostalRecordView{e.code, Prefectures::number(e.prefecture), e.city, e.town, e.street,
                                       e.note, e.business, e.kana, e.isBusiness}) &&
                  all;
    }
    return all;
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
    auto prefectureOf = [&](const F::Record &r) { return Prefectures::name(cities[r.city].prefecture); };
    auto keyOf = [&](F::KeyKind kind, const F::Record &r) {
        return PostalKey::make(kind, prefectureOf(r), text(cities[r.city].name), text(r.town));
    };

    // The hash of a key goes on from its prefecture's and city's part, worked out once per city, over
    // the town folded once per record. Folding parts one by one gives the folded whole: no name of a
    // prefecture or city ends in anything folding reads together with what follows.
    auto folded = [&](QStringView part) {
        PostalKey::Text out;
        PostalKey::appendFolded(out, part);
        return out;
    };
    std::vector<std::array<quint32, 3>> cityState(cities.size()); // per KeyKind
    for (std::size_t c = 0; c < cities.size(); ++c) {
        const quint32 prefecture =
            PostalKey::hashOn(PostalKey::kHashBasis, folded(Prefectures::name(cities[c].prefecture)));
        const PostalKey::Text city = folded(text(cities[c].name));
        cityState[c] = {PostalKey::hashOn(prefecture, city), PostalKey::hashOn(PostalKey::kHashBasis, city),
                        prefecture};
    }
    // Eight bytes a key: a first load builds some 370,000 of them, and fresh memory costs a page fault
    // a page.
    struct Key {
        quint32 hash;
        quint32 ref; // record << 2 | kind
        quint32 record() const { return ref >> 2; }
        quint32 kind() const { return ref & 3; }
    };
    std::size_t keyCount = 0;
    for (const F::Record &r : records)
        keyCount += (r.flags & F::Business) ? 0 : r.town == 0 ? 2 : 3;
    std::vector<Key> keys;
    keys.reserve(keyCount);
    for (quint32 i = 0; i < records.size(); ++i) {
        const F::Record &r = records[i];
        if (r.flags & F::Business)
            continue;
        const PostalKey::Text town = folded(text(r.town));
        const std::array<quint32, 3> &state = cityState[r.city];
        for (F::KeyKind kind :
             {F::KeyKind::PrefectureCityTown, F::KeyKind::CityTown, F::KeyKind::PrefectureTown})
            // Without the city only where there is a town: the prefecture alone is no key.
            if (kind != F::KeyKind::PrefectureTown || !town.isEmpty())
                keys.push_back(Key{PostalKey::finish(PostalKey::hashOn(state[std::size_t(kind)], town)),
                                   i << 2 | quint32(kind)});
    }

    // The distinct keys with the records of each. The table holds each distinct key's hash beside it,
    // so that passing over other keys reads nothing else.
    std::size_t slotCount = 1024;
    while (slotCount * 2 < keys.size() * 3)
        slotCount *= 2;
    const quint32 mask = quint32(slotCount - 1);
    struct Seen {
        quint32 hash = 0;
        quint32 distinct = 0; // + 1; 0 for a free entry
    };
    std::vector<Seen> seen(slotCount);
    std::vector<quint32> distinctOf(keys.size());
    std::vector<quint32> distinctFirst; // per distinct key: its first key
    std::vector<quint32> distinctCount;
    distinctFirst.reserve(keys.size());
    distinctCount.reserve(keys.size());
    for (quint32 k = 0; k < keys.size(); ++k) {
        const Key &key = keys[k];
        PostalKey::Text keyText;
        bool haveText = false;
        for (quint32 i = key.hash & mask;; i = (i + 1) & mask) {
            if (seen[i].distinct == 0) {
                seen[i] = Seen{key.hash, quint32(distinctFirst.size() + 1)};
                distinctOf[k] = quint32(distinctFirst.size());
                distinctFirst.push_back(k);
                distinctCount.push_back(1);
                break;
            }
            if (seen[i].hash != key.hash)
                continue;
            const quint32 otherDistinct = seen[i].distinct - 1;
            const Key &other = keys[distinctFirst[otherDistinct]];
            if (other.kind() != key.kind())
                continue;
            // Equal strings share one offset: the folded texts need comparing only for names that
            // differ in what folding leaves out.
            const F::Record &a = records[key.record()];
            const F::Record &b = records[other.record()];
            const bool sameCity = key.kind() == quint32(F::KeyKind::PrefectureTown)
                                      ? cities[a.city].prefecture == cities[b.city].prefecture
                                      : a.city == b.city;
            bool same = sameCity && a.town == b.town;
            if (!same) {
                if (!haveText) {
                    keyText = keyOf(F::KeyKind(key.kind()), a);
                    haveText = true;
                }
                same = keyOf(F::KeyKind(other.kind()), b) == keyText;
            }
            if (same) {
                distinctOf[k] = otherDistinct;
                ++distinctCount[otherDistinct];
                break;
            }
        }
    }
    // A key of one record (most keys) keeps it in its slot; the others list theirs in Postings.
    std::vector<quint32> slotValue(distinctFirst.size());
    std::vector<quint32> postings;
    for (std::size_t d = 0; d < distinctFirst.size(); ++d) {
        if (distinctCount[d] == 1) {
            slotValue[d] = keys[distinctFirst[d]].record();
            continue;
        }
        slotValue[d] = quint32(postings.size());
        postings.push_back(distinctCount[d]);
        postings.resize(postings.size() + distinctCount[d]);
    }
    std::vector<quint32> filled(distinctFirst.size(), 0);
    for (std::size_t k = 0; k < keys.size(); ++k)
        if (const quint32 d = distinctOf[k]; distinctCount[d] > 1)
            postings[slotValue[d] + 1 + filled[d]++] = keys[k].record();
    // add() keeps the records of each kind to what the slots can number, postings included.

    // The file's table holds distinct keys only, at most two thirds full: a search probes many
    // prefixes that are no key, and each such probe runs to the next free slot.
    std::size_t tableSize = 1024;
    while (tableSize * 2 < distinctFirst.size() * 3)
        tableSize *= 2;
    std::vector<quint32> slotTable;
    for (bool placed = false; !placed; tableSize *= 2) {
        const quint32 tableMask = quint32(tableSize - 1);
        slotTable.assign(tableSize, 0);
        placed = true;
        for (std::size_t d = 0; d < distinctFirst.size() && placed; ++d) {
            const Key &key = keys[distinctFirst[d]];
            quint32 i = key.hash & tableMask;
            for (quint32 probes = 0; slotTable[i] != 0; ++probes, i = (i + 1) & tableMask)
                placed = probes + 1 < F::Slot::kMaxProbes;
            slotTable[i] =
                F::Slot::make(key.hash, F::KeyKind(key.kind()), distinctCount[d] == 1, slotValue[d]);
        }
    }

    // Header, then the sections in order, each aligned.
    QByteArray out(alignUp(sizeof(F::Header)), '\0');
    // Room for it all at once: each regrowth of a file this size would touch as many fresh pages again.
    out.reserve(
        qsizetype(F::kHeaderBytes + alignUp(m_strings.size() * sizeof(char16_t)) +
                  alignUp(cities.size() * sizeof(F::City)) + alignUp(records.size() * sizeof(F::Record)) +
                  alignUp(extras.size() * sizeof(F::Extra)) + alignUp(blocks.size() * sizeof(quint32)) +
                  alignUp(slotTable.size() * sizeof(quint32)) + alignUp(postings.size() * sizeof(quint32)) +
                  alignUp(std::size_t(m_sources.size()))));
    F::Header header;
    std::copy(std::begin(F::kMagic), std::end(F::kMagic), header.magic);
    header.version = F::kVersion;
    header.byteOrder = F::kByteOrderMark;
    const QByteArray date = m_date.toUtf8().left(sizeof(header.date) - 1);
    std::copy(date.begin(), date.end(), header.date);
    auto append = [&](F::Section section, const void *data, std::size_t bytes) {
        header.sections[std::size_t(section)] = F::SectionRange{quint32(out.size()), quint32(bytes)};
        out.append(static_cast<const char *>(data), qsizetype(bytes));
        out.append(qsizetype(alignUp(bytes) - bytes), '\0');
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
