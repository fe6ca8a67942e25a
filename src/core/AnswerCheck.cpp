#include "core/AnswerCheck.h"

#include "core/AddressRecord.h"
#include "core/Cp932Codec.h"

AnswerCheck AnswerCheck::of(const AddressRecord &record, const QString &answer, const Cp932Codec &codec)
{
    for (const QString &field : {record.postalCode, record.address, record.company, record.mapUrl}) {
        if (field.contains(u'\t') || field.contains(u'\r') || field.contains(u'\n'))
            return {Problem::FieldSeparator, {}};
    }
    if (QString bad = codec.firstUnencodable(answer); !bad.isEmpty())
        return {Problem::Unencodable, bad};
    return {};
}
