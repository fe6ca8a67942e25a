#include "address/PostalIndexWriter.h"

#include "address/PostalDirectory.h"
#include "address/PostalKey.h"
#include "address/PostalKeyTable.h"
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

// The first record of each leading three digits, and one past the last record.
std::vector<quint32> blockStarts(const std::vector<F::Record> &records)
{
    std::vector<quint32> blocks(1001);
    for (quint32 block = 0, r = 0; block <= 1000; ++block) {
        while (r < records.size() && records[r].code / 10000 < block)
            ++r;
        blocks[block] = r;
    }
    return blocks;
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

void PostalIndexWriter::sortedRecords(std::vector<PostalIndexFormat::Record> &records,
                                      std::vector<PostalIndexFormat::Extra> &extras) const
{
    // Code order; stable, so that the towns of one code keep Japan Post's order.
    std::vector<quint32> order(m_records.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](quint32 a, quint32 b) { return m_records[a].code < m_records[b].code; });
    records.resize(m_records.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Record &r = m_records[order[i]];
        quint32 extra = 0;
        if (r.strings[1] != 0 || r.strings[2] != 0 || r.strings[3] != 0) {
            extras.push_back(F::Extra{r.strings[1], r.strings[2], r.strings[3]});
            extra = quint32(extras.size());
        }
        records[i] = F::Record{r.code, r.city, r.flags, r.strings[0], r.strings[4], extra};
    }
}

QByteArray PostalIndexWriter::finish() const
{
    std::vector<F::Record> records;
    std::vector<F::Extra> extras;
    sortedRecords(records, extras);
    const std::vector<quint32> blocks = blockStarts(records);
    std::vector<F::City> cities(m_cities.size());
    for (std::size_t i = 0; i < m_cities.size(); ++i)
        cities[i] = F::City{m_cities[i].name, quint8(m_cities[i].prefecture), {}};
    const PostalKeyTable keys = PostalKeyTable::build(records, cities, m_strings);

    // In the order of PostalIndexFormat::Section.
    const Sections sections = {{
        {m_strings.data(), m_strings.size() * sizeof(char16_t)},
        {cities.data(), cities.size() * sizeof(F::City)},
        {records.data(), records.size() * sizeof(F::Record)},
        {extras.data(), extras.size() * sizeof(F::Extra)},
        {blocks.data(), blocks.size() * sizeof(quint32)},
        {keys.slotWords.data(), keys.slotWords.size() * sizeof(quint32)},
        {keys.postingWords.data(), keys.postingWords.size() * sizeof(quint32)},
        {m_sources.constData(), std::size_t(m_sources.size())},
    }};
    return assemble(sections);
}

QByteArray PostalIndexWriter::assemble(const Sections &sections) const
{
    // Header, then the sections in order, each aligned.
    QByteArray out(alignUp(sizeof(F::Header)), '\0');
    // Room for it all at once: each regrowth of a file this size would touch as many fresh pages again.
    std::size_t total = F::kHeaderBytes;
    for (const auto &[data, bytes] : sections)
        total += alignUp(bytes);
    out.reserve(qsizetype(total));
    F::Header header;
    std::copy(std::begin(F::kMagic), std::end(F::kMagic), header.magic);
    header.version = F::kVersion;
    header.byteOrder = F::kByteOrderMark;
    const QByteArray date = m_date.toUtf8().left(sizeof(header.date) - 1);
    std::copy(date.begin(), date.end(), header.date);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const auto &[data, bytes] = sections[i];
        header.sections[i] = F::SectionRange{quint32(out.size()), quint32(bytes)};
        out.append(static_cast<const char *>(data), qsizetype(bytes));
        out.append(qsizetype(alignUp(bytes) - bytes), '\0');
    }
    header.fileBytes = quint64(out.size());
    header.checksum = F::fileChecksum(header, QByteArrayView(out).sliced(qsizetype(alignUp(sizeof header))));
    std::memcpy(out.data(), &header, sizeof header);
    return out;
}
