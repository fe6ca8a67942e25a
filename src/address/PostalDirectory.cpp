#include "address/PostalDirectory.h"

#include "address/CityFinder.h"
#include "address/PostalKey.h"
#include "address/Prefectures.h"
#include "core/MappedFile.h"

#include <algorithm>
#include <array>

namespace F = PostalIndexFormat;

namespace {

// What an empty directory searches: no block holds a record.
constexpr std::array<quint32, 1001> kNoBlocks{};

} // namespace

PostalDirectory::PostalDirectory() : m_cityFinder(std::make_unique<CityFinder>()), m_blocks(kNoBlocks.data())
{
    m_cityFinder->finish();
}

PostalDirectory::~PostalDirectory() = default;

std::unique_ptr<PostalDirectory> PostalDirectory::open(std::unique_ptr<MappedFile> file)
{
    auto directory = std::make_unique<PostalDirectory>();
    if (!file)
        return nullptr;
    directory->m_file = std::move(file);
    if (!directory->attach(directory->m_file->bytes()))
        return nullptr;
    return directory;
}

std::unique_ptr<PostalDirectory> PostalDirectory::open(QByteArray bytes)
{
    auto directory = std::make_unique<PostalDirectory>();
    // The sections are read in place as arrays of 2- and 4-byte numbers: a copy where the bytes
    // begin at an odd place.
    if (quintptr(bytes.constData()) % F::kAlignment != 0)
        bytes = QByteArray(bytes.constData(), bytes.size());
    directory->m_owned = std::move(bytes);
    if (!directory->attach(directory->m_owned))
        return nullptr;
    return directory;
}

template <typename T> const T *PostalDirectory::section(F::Section which, qsizetype *count) const
{
    const F::SectionRange range = m_header->sections[std::size_t(which)];
    *count = qsizetype(range.bytes / sizeof(T));
    return reinterpret_cast<const T *>(m_bytes.data() + range.offset);
}

bool PostalDirectory::attach(QByteArrayView bytes)
{
    // Every check a file of ours passes whatever its content; what a damaged file could still hold
    // wrong past the checksum (an offset out of range) is checked where it is read.
    if (std::size_t(bytes.size()) < F::kHeaderBytes)
        return false;
    const auto *header = reinterpret_cast<const F::Header *>(bytes.data());
    if (!std::equal(std::begin(F::kMagic), std::end(F::kMagic), header->magic) ||
        header->byteOrder != F::kByteOrderMark || header->version != F::kVersion ||
        header->fileBytes != quint64(bytes.size())) // cut short or grown
        return false;
    for (const F::SectionRange &range : header->sections)
        if (range.offset < F::kHeaderBytes || range.offset % F::kAlignment != 0 ||
            quint64(range.offset) + range.bytes > quint64(bytes.size()))
            return false;
    if (F::fileChecksum(*header, bytes.sliced(qsizetype(F::kHeaderBytes))) != header->checksum)
        return false;
    m_bytes = bytes;
    m_header = header;
    qsizetype blocks = 0;
    qsizetype slotCount = 0;
    m_strings = section<char16_t>(F::Section::Strings, &m_stringUnits);
    m_cities = section<F::City>(F::Section::Cities, &m_cityCount);
    m_records = section<F::Record>(F::Section::Records, &m_recordCount);
    m_extras = section<F::Extra>(F::Section::Extras, &m_extraCount);
    m_blocks = section<quint32>(F::Section::Blocks, &blocks);
    m_slots = section<quint32>(F::Section::Slots, &slotCount);
    m_postings = section<quint32>(F::Section::Postings, &m_postingWords);
    if (blocks != 1001 || m_stringUnits < 1 || slotCount < 1 || (slotCount & (slotCount - 1)) != 0 ||
        m_blocks[1000] != quint32(m_recordCount) || !std::is_sorted(m_blocks, m_blocks + 1001)) {
        m_header = nullptr;
        m_blocks = kNoBlocks.data();
        m_recordCount = 0;
        return false; // sections that do not fit together
    }
    m_slotMask = quint32(slotCount - 1);
    auto finder = std::make_unique<CityFinder>(m_cityCount);
    for (qsizetype i = 0; i < m_cityCount && i <= 0xFFFF; ++i)
        finder->add(quint16(i), m_cities[i].prefecture, text(m_cities[i].name));
    finder->finish();
    m_cityFinder = std::move(finder);
    return true;
}

const CityFinder &PostalDirectory::cities() const
{
    return *m_cityFinder;
}

QStringView PostalDirectory::cityPrefecture(quint16 index) const
{
    return Prefectures::name(city(index)->prefecture);
}

QStringView PostalDirectory::cityName(quint16 index) const
{
    return text(city(index)->name);
}

QString PostalDirectory::date() const
{
    if (!m_header)
        return {};
    const char *date = m_header->date;
    return QString::fromUtf8(date, qsizetype(std::find(date, date + sizeof m_header->date, '\0') - date));
}

QByteArrayView PostalDirectory::sources() const
{
    if (!m_header)
        return {};
    const F::SectionRange range = m_header->sections[std::size_t(F::Section::Sources)];
    return m_bytes.sliced(range.offset, range.bytes);
}

QStringView PostalDirectory::text(quint32 offset) const
{
    if (offset >= quint64(m_stringUnits))
        return {};
    return QStringView(m_strings + offset + 1,
                       std::min<qsizetype>(m_strings[offset], m_stringUnits - offset - 1));
}

const F::City *PostalDirectory::city(quint16 index) const
{
    static const F::City kNoCity;
    return index < m_cityCount ? m_cities + index : &kNoCity;
}

PostalEntry PostalDirectory::entryAt(qsizetype index) const
{
    static const F::Extra kNoExtra;
    const F::Record &r = m_records[index];
    const F::City *c = city(r.city);
    const F::Extra &extra =
        r.extra > 0 && r.extra <= quint64(m_extraCount) ? m_extras[r.extra - 1] : kNoExtra;
    PostalEntry e;
    e.code = r.code;
    e.prefecture = Prefectures::name(c->prefecture);
    e.city = text(c->name);
    e.town = text(r.town);
    e.street = text(extra.street);
    e.note = text(extra.note);
    e.business = text(extra.business);
    e.kana = text(r.kana);
    e.isBusiness = (r.flags & F::Business) != 0;
    return e;
}

PostalDirectory::Entries PostalDirectory::find(quint32 code) const
{
    Entries entries;
    if (code > 9999999)
        return entries;
    const F::Record *first = m_records + std::min<quint32>(m_blocks[code / 10000], quint32(m_recordCount));
    const F::Record *last = m_records + std::min<quint32>(m_blocks[code / 10000 + 1], quint32(m_recordCount));
    for (const F::Record *it =
             std::lower_bound(first, last, code, [](const F::Record &r, quint32 c) { return r.code < c; });
         it < last && it->code == code; ++it)
        entries.append(entryAt(it - m_records));
    return entries;
}

bool PostalDirectory::keyEquals(F::KeyKind kind, quint32 record, const char16_t *folded,
                                qsizetype length) const
{
    if (record >= quint64(m_recordCount))
        return false;
    const F::Record &r = m_records[record];
    const F::City *c = city(r.city);
    const PostalKey::Text key =
        PostalKey::make(kind, Prefectures::name(c->prefecture), text(c->name), text(r.town));
    return key.size() == length && std::equal(key.begin(), key.end(), folded);
}

PostalDirectory::Entries PostalDirectory::findLongestKey(QStringView folded, qsizetype *keyLength) const
{
    Entries entries;
    *keyLength = 0;
    if (m_recordCount == 0)
        return entries;
    folded = folded.left(256);
    QVarLengthArray<quint32, 128> prefixHash;
    quint32 hash = PostalKey::kHashBasis;
    for (QChar c : folded)
        prefixHash.append(PostalKey::finish(hash = PostalKey::hashStep(hash, c.unicode())));

    const char16_t *text16 = folded.utf16();
    QVarLengthArray<quint32, 16> found;
    for (qsizetype length = folded.size(); length > 0 && found.isEmpty(); --length) {
        const quint32 h = prefixHash[length - 1];
        for (quint32 i = h & m_slotMask, probes = 0; m_slots[i] != 0 && probes < F::Slot::kMaxProbes;
             i = (i + 1) & m_slotMask, ++probes) {
            const quint32 slot = m_slots[i];
            if (!F::Slot::tagMatches(slot, h))
                continue;
            const quint32 value = F::Slot::value(slot);
            if (F::Slot::oneRecord(slot)) {
                if (keyEquals(F::Slot::kind(slot), value, text16, length))
                    found.append(value);
                continue;
            }
            if (value >= quint64(m_postingWords) ||
                !keyEquals(F::Slot::kind(slot),
                           value + 1 < quint64(m_postingWords) ? m_postings[value + 1] : ~0u, text16, length))
                continue;
            const quint32 count = std::min<quint32>(m_postings[value], quint32(m_postingWords - value - 1));
            for (quint32 k = 0; k < count; ++k)
                if (const quint32 record = m_postings[value + 1 + k]; record < quint64(m_recordCount))
                    found.append(record);
        }
        if (!found.isEmpty())
            *keyLength = length;
    }
    // One town may be found under several kinds of key of the same length: each once, in code order.
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    for (quint32 record : found)
        entries.append(entryAt(record));
    return entries;
}
