#include "address/PostalDirectory.h"

#include "address/PostalText.h"

#include <QHash>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <algorithm>

namespace {

constexpr std::array<QStringView, 48> kPrefectures = {
    u"",       u"北海道", u"青森県", u"岩手県", u"宮城県", u"秋田県", u"山形県",   u"福島県",
    u"茨城県", u"栃木県", u"群馬県", u"埼玉県", u"千葉県", u"東京都", u"神奈川県", u"新潟県",
    u"富山県", u"石川県", u"福井県", u"山梨県", u"長野県", u"岐阜県", u"静岡県",   u"愛知県",
    u"三重県", u"滋賀県", u"京都府", u"大阪府", u"兵庫県", u"奈良県", u"和歌山県", u"鳥取県",
    u"島根県", u"岡山県", u"広島県", u"山口県", u"徳島県", u"香川県", u"愛媛県",   u"高知県",
    u"福岡県", u"佐賀県", u"長崎県", u"熊本県", u"大分県", u"宮崎県", u"鹿児島県", u"沖縄県"};

constexpr quint32 kFnvBasis = 2166136261u;
constexpr quint32 kFnvPrime = 16777619u;

quint32 hashFolded(quint32 hash, QStringView text)
{
    for (QChar ch : text)
        if (const char16_t c = PostalText::fold(ch.unicode()))
            hash = (hash ^ c) * kFnvPrime;
    return hash;
}

// Appends the folded text to out.
template <typename Buffer> void appendFolded(Buffer &out, QStringView text)
{
    for (QChar ch : text)
        if (const char16_t c = PostalText::fold(ch.unicode()))
            out.append(c);
}

// Reads a decimal number spanning the whole view; -1 when it is not one.
qint64 readNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 9)
        return -1;
    qint64 n = 0;
    for (QChar ch : text) {
        if (ch < u'0' || ch > u'9')
            return -1;
        n = n * 10 + (ch.unicode() - u'0');
    }
    return n;
}

} // namespace

PostalDirectory::PostalDirectory()
{
    finish();
}

QStringView PostalDirectory::prefectureName(int number)
{
    return number >= 1 && number <= 47 ? kPrefectures[std::size_t(number)] : QStringView();
}

int PostalDirectory::prefectureNumber(QStringView name)
{
    for (int i = 1; i <= 47; ++i)
        if (kPrefectures[std::size_t(i)] == name)
            return i;
    return 0;
}

void PostalDirectory::clear()
{
    m_pool.clear();
    m_cities.clear();
    m_records.clear();
    finish();
}

bool PostalDirectory::loadShipped(const QByteArray &bytes, QString *error)
{
    clear();
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        clear();
        return false;
    };
    QStringDecoder decoder(QStringDecoder::Utf8);
    m_pool = decoder(bytes);
    if (decoder.hasError())
        return fail(QStringLiteral("not UTF-8"));

    // The text itself is the pool: fields are spans into it, so loading copies no string.
    const QChar *data = m_pool.constData();
    const qsizetype size = m_pool.size();
    qsizetype pos = 0;
    qsizetype lineNo = 0;
    qint64 declared = -1;
    QStringView fields[7];
    qsizetype fieldStart[7] = {};
    m_records.reserve(std::size_t(bytes.size() / 28));
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && data[end] != u'\n')
            ++end;
        const QStringView line(data + pos, end - pos);
        const qsizetype lineStart = pos;
        pos = end + 1;
        if (lineNo++ == 0) {
            if (line != u"VELMORA-POSTAL 1")
                return fail(QStringLiteral("not a postal directory file"));
            continue;
        }
        if (line.isEmpty() || line[0] == u'#')
            continue;
        if (declared >= 0)
            return fail(QStringLiteral("text after the end line"));
        int count = 0;
        qsizetype f = 0;
        for (qsizetype i = 0; i <= line.size(); ++i) {
            if (i == line.size() || line[i] == u'\t') {
                if (count == 7)
                    return fail(QStringLiteral("too many fields in line %1").arg(lineNo));
                fields[count] = line.mid(f, i - f);
                fieldStart[count] = lineStart + f;
                ++count;
                f = i + 1;
            }
        }
        auto span = [&](int i) {
            return i < count ? Span{quint32(fieldStart[i]), quint32(fields[i].size())} : Span{};
        };
        const char16_t kind = fields[0].size() == 1 ? fields[0][0].unicode() : 0;
        if (kind == u'C' && count == 3) {
            const qint64 pref = readNumber(fields[1]);
            if (pref < 1 || pref > 47)
                return fail(QStringLiteral("bad prefecture in line %1").arg(lineNo));
            m_cities.push_back(City{int(pref), span(2)});
        } else if ((kind == u'T' && count >= 3 && count <= 4) || (kind == u'B' && count >= 3 && count <= 6)) {
            const qint64 code = readNumber(fields[1]);
            const qint64 city = readNumber(fields[2]);
            if (fields[1].size() != 7 || code < 0 || city < 0 || city >= qint64(m_cities.size()))
                return fail(QStringLiteral("bad record in line %1").arg(lineNo));
            Record r;
            r.code = quint32(code);
            r.city = quint32(city);
            r.town = span(3);
            r.isBusiness = kind == u'B';
            if (r.isBusiness) {
                r.street = span(4);
                r.business = span(5);
            }
            m_records.push_back(r);
        } else if (kind == u'E' && count == 2) {
            declared = readNumber(fields[1]);
            if (declared != qint64(m_records.size()))
                return fail(QStringLiteral("%1 records instead of %2").arg(m_records.size()).arg(fields[1]));
        } else {
            return fail(QStringLiteral("unknown line %1").arg(lineNo));
        }
    }
    if (declared < 0)
        return fail(QStringLiteral("cut short: no end line"));
    finish();
    return true;
}

PostalDirectory::Span PostalDirectory::store(const QString &text)
{
    const Span span{quint32(m_pool.size()), quint32(text.size())};
    m_pool.append(text);
    return span;
}

quint32 PostalDirectory::cityIndex(int prefecture, const QString &name)
{
    // Japan Post's files come in code order, grouped by city, so the last few cities nearly always hit.
    const qsizetype n = qsizetype(m_cities.size());
    for (qsizetype i = n - 1; i >= 0 && i >= n - 8; --i)
        if (m_cities[std::size_t(i)].prefecture == prefecture && view(m_cities[std::size_t(i)].name) == name)
            return quint32(i);
    m_cities.push_back(City{prefecture, store(name)});
    return quint32(m_cities.size() - 1);
}

void PostalDirectory::removeTowns()
{
    std::erase_if(m_records, [](const Record &r) { return !r.isBusiness; });
}

void PostalDirectory::removeBusinesses()
{
    std::erase_if(m_records, [](const Record &r) { return r.isBusiness; });
}

void PostalDirectory::add(const PostalRecord &record)
{
    Record r;
    r.code = record.code;
    r.city = cityIndex(record.prefecture, record.city);
    r.town = store(record.town);
    r.street = store(record.street);
    r.note = store(record.note);
    r.business = store(record.business);
    r.kana = store(record.kana);
    r.isBusiness = record.isBusiness;
    m_records.push_back(r);
}

template <typename Buffer> void PostalDirectory::appendKey(Buffer &key, quint32 ref) const
{
    const Record &record = m_records[(ref & ~kKindBits) - 1];
    const City &city = m_cities[record.city];
    if (!(ref & kNoPrefecture))
        appendFolded(key, prefectureName(city.prefecture));
    if (!(ref & kNoCity))
        appendFolded(key, view(city.name));
    appendFolded(key, view(record.town));
}

void PostalDirectory::insertKey(quint32 hash, quint32 ref)
{
    QVarLengthArray<char16_t, 128> key;
    bool haveKey = false;
    quint32 i = hash & m_slotMask;
    for (; m_slots[i].ref != 0; i = (i + 1) & m_slotMask) {
        if (m_slots[i].hash != hash || (m_slots[i].ref & kKindBits) != (ref & kKindBits))
            continue;
        if (!haveKey) {
            appendKey(key, ref);
            haveKey = true;
        }
        if (!keyEquals(m_slots[i].ref, key.constData(), key.size()))
            continue;
        // The same town under another code (a building's floors, a town of several codes): chain it
        // right behind the first, so that probing stays short and a long chain is not walked for each
        // town added to it. Searches sort what they find, so the chain's order does not matter.
        std::vector<quint32> &next = m_sameKey[kindOf(ref)];
        const quint32 first = (m_slots[i].ref & ~kKindBits) - 1;
        next[(ref & ~kKindBits) - 1] = next[first];
        next[first] = (ref & ~kKindBits);
        return;
    }
    m_slots[i] = Slot{hash, ref};
}

void PostalDirectory::finish()
{
    // Stable, so that the towns of one code keep Japan Post's order.
    const auto byCode = [](const Record &a, const Record &b) { return a.code < b.code; };
    if (!std::is_sorted(m_records.begin(), m_records.end(), byCode))
        std::stable_sort(m_records.begin(), m_records.end(), byCode);
    m_records.shrink_to_fit();
    m_codes.resize(m_records.size());
    for (std::size_t i = 0; i < m_records.size(); ++i)
        m_codes[i] = m_records[i].code;
    std::size_t r = 0;
    for (quint32 block = 0; block <= 1000; ++block) {
        while (r < m_codes.size() && m_codes[r] / 10000 < block)
            ++r;
        m_firstOfBlock[block] = quint32(r);
    }

    std::size_t keyCount = 0;
    for (const Record &rec : m_records)
        keyCount += rec.isBusiness ? 0 : rec.town.len > 0 ? 3 : 2;
    std::size_t slotCount = 16;
    while (slotCount < keyCount * 2) // at most half full
        slotCount *= 2;
    m_slots.assign(slotCount, Slot{});
    m_slots.shrink_to_fit();
    m_slotMask = quint32(slotCount - 1);
    for (std::vector<quint32> &next : m_sameKey) {
        next.assign(m_records.size(), 0);
        next.shrink_to_fit();
    }
    // Hash every key first, front to back, with the hash of each city's part worked out once; then
    // insert, fetching slots a little ahead: the table is too big for the cache and waiting for each
    // slot in turn would double the time of a load.
    std::vector<quint32> cityHash(m_cities.size() * 2);
    std::array<quint32, 48> prefectureHash{};
    for (int p = 1; p <= 47; ++p)
        prefectureHash[std::size_t(p)] = hashFolded(kFnvBasis, prefectureName(p));
    for (std::size_t c = 0; c < m_cities.size(); ++c) {
        const quint32 bare = hashFolded(kFnvBasis, view(m_cities[c].name));
        cityHash[2 * c] =
            hashFolded(hashFolded(kFnvBasis, prefectureName(m_cities[c].prefecture)), view(m_cities[c].name));
        cityHash[2 * c + 1] = bare;
    }
    std::vector<Slot> keys;
    keys.reserve(keyCount);
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        const Record &rec = m_records[i];
        if (rec.isBusiness)
            continue;
        const QStringView town = view(rec.town);
        keys.push_back(Slot{hashFolded(cityHash[2 * rec.city], town), quint32(i + 1)});
        keys.push_back(Slot{hashFolded(cityHash[2 * rec.city + 1], town), quint32(i + 1) | kNoPrefecture});
        // Without the city only where there is a town: the prefecture alone is no key.
        if (!town.isEmpty())
            keys.push_back(Slot{hashFolded(prefectureHash[std::size_t(m_cities[rec.city].prefecture)], town),
                                quint32(i + 1) | kNoCity});
    }
    constexpr std::size_t kAhead = 16;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (k + kAhead < keys.size())
            __builtin_prefetch(&m_slots[keys[k + kAhead].hash & m_slotMask]);
        insertKey(keys[k].hash, keys[k].ref);
    }
}

qsizetype PostalDirectory::codeCount() const
{
    qsizetype n = 0;
    for (std::size_t i = 0; i < m_codes.size(); ++i)
        n += (i == 0 || m_codes[i] != m_codes[i - 1]) ? 1 : 0;
    return n;
}

PostalEntry PostalDirectory::entryAt(qsizetype index) const
{
    const Record &r = m_records[std::size_t(index)];
    const City &city = m_cities[r.city];
    PostalEntry e;
    e.code = r.code;
    e.prefecture = prefectureName(city.prefecture);
    e.city = view(city.name);
    e.town = view(r.town);
    e.street = view(r.street);
    e.note = view(r.note);
    e.business = view(r.business);
    e.kana = view(r.kana);
    e.isBusiness = r.isBusiness;
    return e;
}

PostalDirectory::Entries PostalDirectory::find(quint32 code) const
{
    Entries entries;
    if (code > 9999999)
        return entries;
    const auto first = m_codes.begin() + m_firstOfBlock[code / 10000];
    const auto last = m_codes.begin() + m_firstOfBlock[code / 10000 + 1];
    for (auto it = std::lower_bound(first, last, code); it != last && *it == code; ++it)
        entries.append(entryAt(it - m_codes.begin()));
    return entries;
}

bool PostalDirectory::keyEquals(quint32 ref, const char16_t *folded, qsizetype length) const
{
    QVarLengthArray<char16_t, 128> key;
    appendKey(key, ref);
    return key.size() == length && std::equal(key.begin(), key.end(), folded);
}

PostalDirectory::Entries PostalDirectory::findByAddress(QStringView address) const
{
    QVarLengthArray<char16_t, 128> folded;
    appendFolded(folded, address.left(256));
    qsizetype length = 0;
    return findLongestKey(QStringView(folded.constData(), folded.size()), &length);
}

PostalDirectory::Entries PostalDirectory::findLongestKey(QStringView folded, qsizetype *keyLength) const
{
    Entries entries;
    *keyLength = 0;
    QVarLengthArray<quint32, 128> prefixHash;
    quint32 hash = kFnvBasis;
    for (QChar c : folded.left(256))
        prefixHash.append(hash = (hash ^ c.unicode()) * kFnvPrime);
    const char16_t *text = folded.utf16();

    QVarLengthArray<quint32, 8> found;
    for (qsizetype length = prefixHash.size(); length > 0 && found.isEmpty(); --length) {
        const quint32 h = prefixHash[length - 1];
        for (quint32 i = h & m_slotMask; m_slots[i].ref != 0; i = (i + 1) & m_slotMask) {
            const Slot &slot = m_slots[i];
            if (slot.hash != h || !keyEquals(slot.ref, text, length))
                continue;
            const std::vector<quint32> &next = m_sameKey[kindOf(slot.ref)];
            for (quint32 record = (slot.ref & ~kKindBits) - 1;; record = next[record] - 1) {
                found.append(record);
                if (next[record] == 0)
                    break;
            }
        }
        if (!found.isEmpty())
            *keyLength = length;
    }
    // Sorted and made unique at the end: looking each record up in what was found would take time
    // growing with the square of a long chain.
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    for (quint32 record : found)
        entries.append(entryAt(record));
    return entries;
}

qsizetype PostalDirectory::memoryBytes() const
{
    // The pool's spare capacity is never written, so it takes address space but no memory.
    return qsizetype(
        m_pool.size() * 2 + m_cities.capacity() * sizeof(City) + m_records.capacity() * sizeof(Record) +
        m_codes.capacity() * sizeof(quint32) + m_slots.capacity() * sizeof(Slot) +
        (m_sameKey[0].capacity() + m_sameKey[1].capacity() + m_sameKey[2].capacity()) * sizeof(quint32) +
        sizeof(*this));
}
