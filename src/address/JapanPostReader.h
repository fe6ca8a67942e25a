#pragma once

#include "address/PostalRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class Cp932Codec;

// Reads the files that Japan Post publishes each month: KEN_ALL.CSV (towns, CP932, 15 columns),
// its UTF-8 edition utf_ken_all.csv, and JIGYOSYO.CSV (business codes, CP932, 13 columns).
// A file that is not wholly one of these gives no value: half a country is worse than the shipped
// data.
class JapanPostReader {
public:
    static std::optional<QList<PostalRecord>> readKenAllCp932(const QByteArray &bytes,
                                                              const Cp932Codec &codec);
    static std::optional<QList<PostalRecord>> readKenAllUtf8(const QByteArray &bytes);
    static std::optional<QList<PostalRecord>> readJigyosyo(const QByteArray &bytes, const Cp932Codec &codec);

    // The towns of decoded KEN_ALL text, with Japan Post's conventions resolved: records continued
    // over several lines are joined, markers such as "以下に掲載がない場合" give an empty town,
    // remarks in brackets become the note, and a building floor becomes the street.
    static std::optional<QList<PostalRecord>> parseKenAll(const QString &text);
    static std::optional<QList<PostalRecord>> parseJigyosyo(const QString &text);
};
