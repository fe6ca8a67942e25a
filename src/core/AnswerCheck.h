#pragma once

#include <QString>

class Cp932Codec;
struct AddressRecord;

// Whether an answer can go back to the calling program as the user typed it: the request file is
// tab-separated CP932, so a tab or line break inside a field would shift or add fields, and a character
// CP932 cannot store would come back changed.
struct AnswerCheck {
    enum class Problem { None, FieldSeparator, Unencodable };

    Problem problem = Problem::None;
    // For Unencodable: the first character that cannot be stored (a surrogate pair whole).
    QString character;

    static AnswerCheck of(const AddressRecord &record, const QString &answer, const Cp932Codec &codec);
};
