#include "address/PostalKeyTable.h"

#include "address/PostalKey.h"
#include "address/Prefectures.h"

#include <array>

namespace F = PostalIndexFormat;

namespace {

// Eight bytes a key: a first load builds some 370,000 of them, and fresh memory costs a page fault
// a page.
struct Key {
    quint32 hash;
    quint32 ref; // record << 2 | kind
    quint32 record() const { return ref >> 2; }
    quint32 kind() const { return ref & 3; }
};

// The distinct keys among all keys, with the records of each.
struct DistinctKeys {
    std::vector<quint32> of;    // per key: its distinct key
    std::vector<quint32> first; // per distinct key: its first key
    std::vector<quint32> count; // per distinct key: how many keys, one a record, it stands for
};

// Where each distinct key's records are: a key of one record (most keys) keeps it in its slot; the
// others list theirs in Postings.
struct Postings {
    std::vector<quint32> slotValue; // per distinct key
    std::vector<quint32> words;
};

// The strings as the writer stores them: each a length unit, then the text.
class StoredStrings {
public:
    explicit StoredStrings(const std::vector<char16_t> &units) : m_units(units) {}
    QStringView at(quint32 offset) const { return QStringView(m_units.data() + offset + 1, m_units[offset]); }

private:
    const std::vector<char16_t> &m_units;
};

PostalKey::Text folded(QStringView part)
{
    PostalKey::Text out;
    PostalKey::appendFolded(out, part);
    return out;
}

// The address keys of every town record, in record order. The hash of a key goes on from its
// prefecture's and city's part, worked out once per city, over the town folded once per record.
// Folding parts one by one gives the folded whole: no name of a prefecture or city ends in anything
// folding reads together with what follows.
std::vector<Key> addressKeys(const std::vector<F::Record> &records, const std::vector<F::City> &cities,
                             const StoredStrings &strings)
{
    std::vector<std::array<quint32, 3>> cityState(cities.size()); // per KeyKind
    for (std::size_t c = 0; c < cities.size(); ++c) {
        const quint32 prefecture =
            PostalKey::hashOn(PostalKey::kHashBasis, folded(Prefectures::name(cities[c].prefecture)));
        const PostalKey::Text city = folded(strings.at(cities[c].name));
        cityState[c] = {PostalKey::hashOn(prefecture, city), PostalKey::hashOn(PostalKey::kHashBasis, city),
                        prefecture};
    }
    std::size_t keyCount = 0;
    for (const F::Record &r : records)
        keyCount += (r.flags & F::Business) ? 0 : r.town == 0 ? 2 : 3;
    std::vector<Key> keys;
    keys.reserve(keyCount);
    for (quint32 i = 0; i < records.size(); ++i) {
        const F::Record &r = records[i];
        if (r.flags & F::Business)
            continue;
        const PostalKey::Text town = folded(strings.at(r.town));
        const std::array<quint32, 3> &state = cityState[r.city];
        for (F::KeyKind kind :
             {F::KeyKind::PrefectureCityTown, F::KeyKind::CityTown, F::KeyKind::PrefectureTown})
            // Without the city only where there is a town: the prefecture alone is no key.
            if (kind != F::KeyKind::PrefectureTown || !town.isEmpty())
                keys.push_back(Key{PostalKey::finish(PostalKey::hashOn(state[std::size_t(kind)], town)),
                                   i << 2 | quint32(kind)});
    }
    return keys;
}

// The keys grouped by equal text. The table holds each distinct key's hash beside it, so that passing
// over other keys reads nothing else.
DistinctKeys distinctKeys(const std::vector<Key> &keys, const std::vector<F::Record> &records,
                          const std::vector<F::City> &cities, const StoredStrings &strings)
{
    const auto keyOf = [&](F::KeyKind kind, const F::Record &r) {
        return PostalKey::make(kind, Prefectures::name(cities[r.city].prefecture),
                               strings.at(cities[r.city].name), strings.at(r.town));
    };
    // Equal strings share one offset: the folded texts need comparing only for names that differ in
    // what folding leaves out.
    const auto sameKey = [&](const Key &key, const Key &other, PostalKey::Text &keyText, bool &haveText) {
        if (other.kind() != key.kind())
            return false;
        const F::Record &a = records[key.record()];
        const F::Record &b = records[other.record()];
        const bool sameCity = key.kind() == quint32(F::KeyKind::PrefectureTown)
                                  ? cities[a.city].prefecture == cities[b.city].prefecture
                                  : a.city == b.city;
        if (sameCity && a.town == b.town)
            return true;
        if (!haveText) {
            keyText = keyOf(F::KeyKind(key.kind()), a);
            haveText = true;
        }
        return keyOf(F::KeyKind(other.kind()), b) == keyText;
    };
    std::size_t slotCount = 1024;
    while (slotCount * 2 < keys.size() * 3)
        slotCount *= 2;
    const quint32 mask = quint32(slotCount - 1);
    struct Seen {
        quint32 hash = 0;
        quint32 distinct = 0; // + 1; 0 for a free entry
    };
    std::vector<Seen> seen(slotCount);
    DistinctKeys d;
    d.of.resize(keys.size());
    d.first.reserve(keys.size());
    d.count.reserve(keys.size());
    for (quint32 k = 0; k < keys.size(); ++k) {
        const Key &key = keys[k];
        PostalKey::Text keyText;
        bool haveText = false;
        for (quint32 i = key.hash & mask;; i = (i + 1) & mask) {
            if (seen[i].distinct == 0) {
                seen[i] = Seen{key.hash, quint32(d.first.size() + 1)};
                d.of[k] = quint32(d.first.size());
                d.first.push_back(k);
                d.count.push_back(1);
                break;
            }
            const quint32 other = seen[i].distinct - 1;
            if (seen[i].hash == key.hash && sameKey(key, keys[d.first[other]], keyText, haveText)) {
                d.of[k] = other;
                ++d.count[other];
                break;
            }
        }
    }
    return d;
}

// add() keeps the records of each kind to what the slots can number, postings included.
Postings postingsOf(const std::vector<Key> &keys, const DistinctKeys &d)
{
    Postings p;
    p.slotValue.resize(d.first.size());
    for (std::size_t i = 0; i < d.first.size(); ++i) {
        if (d.count[i] == 1) {
            p.slotValue[i] = keys[d.first[i]].record();
            continue;
        }
        p.slotValue[i] = quint32(p.words.size());
        p.words.push_back(d.count[i]);
        p.words.resize(p.words.size() + d.count[i]);
    }
    std::vector<quint32> filled(d.first.size(), 0);
    for (std::size_t k = 0; k < keys.size(); ++k)
        if (const quint32 i = d.of[k]; d.count[i] > 1)
            p.words[p.slotValue[i] + 1 + filled[i]++] = keys[k].record();
    return p;
}

// The file's table holds distinct keys only, at most two thirds full: a search probes many prefixes
// that are no key, and each such probe runs to the next free slot. It doubles until no key needs more
// probes than a search makes.
std::vector<quint32> slotTable(const std::vector<Key> &keys, const DistinctKeys &d, const Postings &postings)
{
    std::size_t tableSize = 1024;
    while (tableSize * 2 < d.first.size() * 3)
        tableSize *= 2;
    std::vector<quint32> table;
    for (bool placed = false; !placed; tableSize *= 2) {
        const quint32 tableMask = quint32(tableSize - 1);
        table.assign(tableSize, 0);
        placed = true;
        for (std::size_t i = 0; i < d.first.size() && placed; ++i) {
            const Key &key = keys[d.first[i]];
            quint32 slot = key.hash & tableMask;
            for (quint32 probes = 0; table[slot] != 0; ++probes, slot = (slot + 1) & tableMask)
                placed = probes + 1 < F::Slot::kMaxProbes;
            table[slot] =
                F::Slot::make(key.hash, F::KeyKind(key.kind()), d.count[i] == 1, postings.slotValue[i]);
        }
    }
    return table;
}

} // namespace

PostalKeyTable PostalKeyTable::build(const std::vector<PostalIndexFormat::Record> &records,
                                     const std::vector<PostalIndexFormat::City> &cities,
                                     const std::vector<char16_t> &strings)
{
    const StoredStrings stored(strings);
    const std::vector<Key> keys = addressKeys(records, cities, stored);
    const DistinctKeys distinct = distinctKeys(keys, records, cities, stored);
    Postings postings = postingsOf(keys, distinct);
    return PostalKeyTable{slotTable(keys, distinct, postings), std::move(postings.words)};
}
