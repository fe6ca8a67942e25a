#include "address/CityFinder.h"

#include "address/PostalKey.h"
#include "address/Prefectures.h"

#include <algorithm>

namespace {

// 高岡郡檮原町 → 檮原町: how people write a town or village of a district. Only a name of that shape,
// so that 郡山市, 大和郡山市 and 蒲郡市 keep their 郡.
QStringView withoutDistrict(QStringView name)
{
    const qsizetype district = name.indexOf(u'郡');
    if (district < 1 || district + 2 > name.size() || !(name.endsWith(u'町') || name.endsWith(u'村')))
        return {};
    return name.mid(district + 1);
}

} // namespace

void CityFinder::addName(quint16 city, int prefecture, qsizetype offset, qsizetype length)
{
    const QStringView name(m_text.data() + offset, length);
    m_names.push_back(Name{PostalKey::finish(PostalKey::hashOn(PostalKey::kHashBasis, name)), quint32(offset),
                           quint16(length), city, quint8(prefecture)});
    m_longest = std::max(m_longest, length);
}

CityFinder::CityFinder(qsizetype cities) : m_whole(Prefectures::kCount + 1), m_short(Prefectures::kCount + 1)
{
    // A prefecture and city run to about 12 units; about half the cities have a name without 郡.
    m_text.reserve(std::size_t(cities) * 12);
    m_names.reserve(std::size_t(cities) * 3 / 2);
    m_written.reserve(std::size_t(cities));
    for (int p = 1; p <= Prefectures::kCount; ++p) {
        const QStringView name = Prefectures::name(p);
        m_whole[p] = PostalText::folded(name);
        if (name.endsWith(u'都') || name.endsWith(u'府') || name.endsWith(u'県'))
            m_short[p] = PostalText::folded(name.chopped(1));
    }
}

void CityFinder::add(quint16 city, int prefecture, QStringView name)
{
    if (prefecture < 1 || prefecture > Prefectures::kCount)
        return;
    // Folded once: what comes before 郡 folds apart from what follows it, so the name without its
    // 郡 is the end of the folded name.
    const PostalText::Folded folded = PostalText::folded(name);
    if (m_written.size() <= city)
        m_written.resize(city + 1u);
    m_written[city] = {quint32(m_text.size()), quint32(m_whole[prefecture].size() + folded.size())};
    m_text.insert(m_text.end(), m_whole[prefecture].begin(), m_whole[prefecture].end());
    m_text.insert(m_text.end(), folded.begin(), folded.end());
    const qsizetype at = qsizetype(m_text.size()) - folded.size();
    addName(city, prefecture, at, folded.size());
    if (!withoutDistrict(name).isEmpty()) {
        const qsizetype district = QStringView(folded.constData(), folded.size()).indexOf(u'郡') + 1;
        addName(city, prefecture, at + district, folded.size() - district);
    }
}

void CityFinder::finish()
{
    std::sort(m_names.begin(), m_names.end(), [](const Name &a, const Name &b) { return a.hash < b.hash; });
}

void CityFinder::longestAt(QStringView folded, qsizetype from, int prefecture, Readings &out) const
{
    const QStringView text = folded.mid(from, m_longest);
    QVarLengthArray<quint32, 32> hashes;
    quint32 state = PostalKey::kHashBasis;
    for (QChar c : text)
        hashes.append(PostalKey::finish(state = PostalKey::hashStep(state, c.unicode())));
    for (qsizetype length = text.size(); length > 0; --length) {
        // Every city's name ends so: most lengths need no look-up.
        if (const char16_t last = text[length - 1].unicode();
            last != u'市' && last != u'区' && last != u'町' && last != u'村')
            continue;
        const quint32 h = hashes[length - 1];
        const auto [first, last] =
            std::equal_range(m_names.begin(), m_names.end(), Name{h},
                             [](const Name &a, const Name &b) { return a.hash < b.hash; });
        const qsizetype before = out.size();
        for (auto it = first; it != last; ++it)
            if ((prefecture == 0 || it->prefecture == prefecture) && it->length == length &&
                std::equal(text.utf16(), text.utf16() + length, m_text.begin() + it->offset) &&
                std::none_of(out.begin(), out.end(), [&](const Reading &r) { return r.city == it->city; }))
                out.append(Reading{it->city, from + length});
        if (out.size() > before)
            return;
    }
}

CityFinder::Readings CityFinder::read(QStringView folded) const
{
    Readings readings;
    const auto begins = [&](const PostalText::Folded &name) {
        return !name.isEmpty() && folded.size() >= name.size() && folded[0] == name[0] &&
               std::equal(name.begin(), name.end(), folded.utf16());
    };
    for (int p = 1; p < int(m_whole.size()); ++p) {
        if (begins(m_whole[p])) {
            longestAt(folded, m_whole[p].size(), p, readings);
            return readings;
        }
    }
    longestAt(folded, 0, 0, readings);
    for (int p = 1; p < int(m_short.size()); ++p)
        if (begins(m_short[p]))
            longestAt(folded, m_short[p].size(), p, readings);
    // In the directory's order, as its answers are.
    std::sort(readings.begin(), readings.end(),
              [](const Reading &a, const Reading &b) { return a.city < b.city; });
    return readings;
}

bool CityFinder::isCityName(QStringView folded) const
{
    Readings readings;
    longestAt(folded, 0, 0, readings);
    return std::any_of(readings.begin(), readings.end(),
                       [&](const Reading &r) { return r.end == folded.size(); });
}

QStringView CityFinder::written(quint16 city) const
{
    if (city >= m_written.size())
        return {};
    return QStringView(m_text.data() + m_written[city].first, m_written[city].second);
}
