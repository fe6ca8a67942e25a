#include "core/AnswerCheck.h"

#include "core/AddressRecord.h"
#include "core/Cp932Codec.h"

AnswerCheck AnswerCheck::of(const AddressRecord &record, const QString &answer, const Cp932Codec &codec)
{
    if (record.holdsFieldSeparator())
        return {Problem::FieldSeparator, {}};
    if (QString bad = codec.firstUnencodable(answer); !bad.isEmpty())
        return {Problem::Unencodable, bad};
    return {};
}
