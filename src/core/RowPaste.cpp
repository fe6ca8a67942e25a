#include "core/RowPaste.h"

using namespace Qt::Literals::StringLiterals;

RowPaste RowPaste::of(const QString &text, int room)
{
    // A spreadsheet ends the row it copies with a line break, CR LF on Windows.
    QStringView row(text);
    if (row.endsWith(u"\r\n"))
        row.chop(2);
    else if (row.endsWith(u'\n') || row.endsWith(u'\r'))
        row.chop(1);
    if (row.contains(u'\n') || row.contains(u'\r'))
        return {Kind::SeveralLines, {}};
    RowPaste paste{Kind::Fields, row.toString().split(u'\t')};
    if (paste.fields.size() > room)
        paste.kind = Kind::TooManyFields;
    return paste;
}

QString RowPaste::refusal(int room) const
{
    switch (kind) {
    case Kind::Fields:
        return {};
    case Kind::SeveralLines:
        return u"改行を含む文字は貼り付けられません\n表からは 1 行ずつコピーしてください"_s;
    case Kind::TooManyFields:
        return u"貼り付ける項目が %1 個あり、選んでいる欄から右の %2 個の欄に収まりません\n"
               "欄を選び直すか、コピーする項目を減らしてください"_s.arg(fields.size())
                   .arg(room);
    }
    return {};
}
