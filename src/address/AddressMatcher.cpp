#include "address/AddressMatcher.h"

#include "address/CityFinder.h"
#include "address/PostalText.h"
#include "address/TownReader.h"

#include <QVarLengthArray>
#include <algorithm>

namespace {

using Folded = PostalText::Folded;

QStringView viewOf(const Folded &text, qsizetype from = 0)
{
    return QStringView(text.constData(), text.size()).mid(from);
}

// The entries of one city only: a key of another city's town (prefecture + town) of the same length
// is no answer in this one.
void keepCity(PostalDirectory::Entries &entries, QStringView prefecture, QStringView city)
{
    PostalDirectory::Entries kept;
    for (const PostalEntry &e : entries)
        if (e.prefecture == prefecture && e.city == city)
            kept.append(e);
    entries = kept;
}

// The town written otherwise than Japan Post writes it, tried where the text after the city found no
// town: 春日 for 春日町 (町 or 村 added after each of the first characters), 7番町 for 七番丁 (町 and 丁
// swapped), each change after found, the key already found. A variant counts when its key reads past
// the change and leaves only numbers unread (高辻通堀川富永町 is no 高辻町); the answer is the town so
// found that reads furthest, or all such to choose from, or none.
TownReader::Answer loosenedTown(const PostalDirectory &directory, const Folded &text, qsizetype found,
                                QStringView prefecture, QStringView city)
{
    QVarLengthArray<Folded, 4> variants;
    QVarLengthArray<QStringView, 4> towns;
    qsizetype furthest = 0; // of the text as written, read by the variants kept
    const auto tryVariant = [&](const Folded &variant, qsizetype changedAt, qsizetype added) {
        qsizetype length = 0;
        PostalDirectory::Entries entries = directory.findLongestKey(viewOf(variant), &length);
        keepCity(entries, prefecture, city);
        if (length <= changedAt || entries.isEmpty() || entries.front().town.isEmpty() ||
            !TownReader::goesOnWithNumbers(viewOf(variant, length)) || towns.contains(entries.front().town) ||
            length - added < furthest)
            return;
        // The variant that reads more of the text wins: 旭岡 is 旭岡町 rather than 旭町 and "岡".
        if (length - added > furthest) {
            variants.clear();
            towns.clear();
            furthest = length - added;
        }
        towns.append(entries.front().town);
        variants.append(variant);
    };
    constexpr qsizetype kLongestTown = 12;
    // Each change within the text not yet read, so that a variant reads more of it (八幡イ１３, a lot of
    // 八幡, is not 八幡町); 町 or 村 goes where the town's name ends, before its numbers or at the end.
    for (qsizetype i = found + 1; i <= std::min(text.size(), found + kLongestTown); ++i) {
        if (!TownReader::goesOnWithNumbers(viewOf(text, i)) ||
            (i < text.size() && text[i] == u'字' && (text[i - 1] == u'大' || text[i - 1] == u'小')))
            continue; // nor does 大字 read as 大 followed by 字
        for (const char16_t suffix : {u'町', u'村'}) {
            Folded variant(text.constData(), text.constData() + i);
            variant.append(suffix);
            variant.append(text.constData() + i, text.size() - i);
            tryVariant(variant, i, 1);
        }
    }
    for (qsizetype i = found; i < std::min(text.size(), found + kLongestTown); ++i) {
        if (text[i] == u'町' || text[i] == u'丁') {
            Folded variant = text;
            variant[i] = text[i] == u'町' ? u'丁' : u'町';
            tryVariant(variant, i, 0);
        }
    }
    TownReader::Answer answer;
    answer.keyLength = furthest;
    for (const Folded &variant : variants) {
        TownReader::Answer a = TownReader::read(directory, variant);
        keepCity(a.entries, prefecture, city);
        answer.entries.append(a.entries.constData(), a.entries.size());
    }
    return answer;
}

// The address read in one city found at its start: the town after the city's name, as Japan Post
// writes prefecture and city.
TownReader::Answer readInCity(const PostalDirectory &directory, const Folded &text,
                              const CityFinder::Reading &reading)
{
    const QStringView prefecture = directory.cityPrefecture(reading.city);
    const QStringView city = directory.cityName(reading.city);
    const QStringView cityWritten = directory.cities().written(reading.city);
    const qsizetype cityEnd = cityWritten.size();
    Folded written;
    if (reading.end == cityEnd && viewOf(text).startsWith(cityWritten)) {
        written = text; // as Japan Post writes it, as most addresses are
    } else {
        written.append(cityWritten.utf16(), cityEnd);
        written.append(text.constData() + reading.end, text.size() - reading.end);
    }
    TownReader::Answer a = TownReader::read(directory, written);
    keepCity(a.entries, prefecture, city);
    if (a.cityCodeOnly || a.numberAfterCity || a.nameAfterTown) {
        if (TownReader::Answer loosened =
                loosenedTown(directory, written, a.nameAfterTown ? a.keyLength : cityEnd, prefecture, city);
            !loosened.entries.isEmpty())
            a = loosened;
    }
    a.reach = a.keyLength - cityEnd;
    return a;
}

void appendNew(PostalDirectory::Entries &to, const PostalDirectory::Entries &from)
{
    for (const PostalEntry &e : from)
        if (std::none_of(to.begin(), to.end(), [&](const PostalEntry &t) {
                return t.code == e.code && t.town == e.town && t.note == e.note && t.street == e.street;
            }))
            to.append(e);
}

// How far one reading of the city got: a town found (3), the city's own code as the answer (2: a
// municipality of one code, or the code for a number after the city), only its code for towns not
// listed (1), nothing (0).
int depth(const TownReader::Answer &a)
{
    if (a.entries.isEmpty())
        return 0;
    if (a.cityCodeOnly)
        return 1;
    return std::all_of(a.entries.begin(), a.entries.end(),
                       [](const PostalEntry &e) { return e.town.isEmpty(); })
               ? 2
               : 3;
}

// One answer from the readings of the city: those that got furthest (deepest, their greatest depth),
// several to choose from. Where they
// found only a city's code for towns not listed, the reading without a city serves beside them if it
// reads further than any city's name (三重県朝日町一区 may be 松阪市's 朝日町一区).
AddressMatcher::Result merge(const QVarLengthArray<TownReader::Answer, 4> &answers, int deepest,
                             const TownReader::Answer &withoutCity, qsizetype longestCity)
{
    qsizetype reach = 0;
    for (const TownReader::Answer &a : answers)
        if (depth(a) == deepest)
            reach = std::max(reach, a.reach);
    // Of the towns found, those that read furthest: 森町森川町 is 茅部郡森町's 森川町, not 周智郡森町's 森
    // followed by "川町".
    AddressMatcher::Result result;
    for (const TownReader::Answer &a : answers)
        if (depth(a) == deepest && (deepest < 3 || a.reach == reach))
            appendNew(result.entries, a.entries);
    if (deepest <= 1 && withoutCity.keyLength > longestCity && !withoutCity.readCityAsTown &&
        !withoutCity.cityCodeOnly)
        appendNew(result.entries, withoutCity.entries);
    result.cityCodeOnly = deepest == 1 && result.entries.size() == 1;
    return result;
}

} // namespace

AddressMatcher::Result AddressMatcher::match(const PostalDirectory &directory, QStringView address)
{
    const Folded text = PostalText::folded(address.left(200));
    const CityFinder::Readings readings = directory.cities().read(viewOf(text));
    if (readings.isEmpty()) {
        TownReader::Answer a = TownReader::read(directory, text);
        if (a.readCityAsTown)
            return {};
        return Result{a.entries, a.cityCodeOnly};
    }
    QVarLengthArray<TownReader::Answer, 4> answers;
    qsizetype longestCity = 0;
    int deepest = 0;
    for (const CityFinder::Reading &reading : readings) {
        answers.append(readInCity(directory, text, reading));
        longestCity = std::max(longestCity, reading.end);
        deepest = std::max(deepest, depth(answers.back()));
    }
    // The reading without a city serves only beside readings that found no more than the city.
    return merge(answers, deepest, deepest > 1 ? TownReader::Answer{} : TownReader::read(directory, text),
                 longestCity);
}
