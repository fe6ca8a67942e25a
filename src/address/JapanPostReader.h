#pragma once

#include "address/PostalRecordView.h"

#include <QByteArray>
#include <QString>
#include <functional>

class Cp932Codec;

// Reads the files that Japan Post publishes each month: KEN_ALL.CSV (towns, CP932, 15 columns),
// its UTF-8 edition utf_ken_all.csv, and JIGYOSYO.CSV (business codes, CP932, 13 columns).
// A file that is not wholly one of these is refused: half a country is worse than the shipped data. A
// file cut short is taken for one when its last line has no line break or a prefecture has no line.
class JapanPostReader {
public:
    using Sink = std::function<void(const PostalRecordView &)>;

    // Each record, in the file's order, handed to sink as it is read; false when the file is refused,
    // and then what sink was given must be thrown away. For KEN_ALL, Japan Post's conventions are
    // resolved: records continued over several lines are joined, markers such as
    // "以下に掲載がない場合" and "〇〇の次に番地がくる場合" give an empty town with the marker in
    // brackets as the note, "一円" an empty town, remarks in brackets become the note, and a building
    // floor becomes the street.
    static bool readKenAllCp932(const QByteArray &bytes, const Cp932Codec &codec, const Sink &sink);
    static bool readKenAllUtf8(const QByteArray &bytes, const Sink &sink);
    static bool readJigyosyo(const QByteArray &bytes, const Cp932Codec &codec, const Sink &sink);
};
