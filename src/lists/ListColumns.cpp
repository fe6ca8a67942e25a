#include "lists/ListColumns.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

enum class Kind { None, Code, Address };

struct HeaderName {
    const char16_t *name;
    Kind kind;
    ListColumns::Part part;
};

// Read in order: the first row whose name a header holds decides. A reading (カナ) of an address is no
// address.
constexpr HeaderName kHeaderNames[] = {
    {u"カナ", Kind::None, ListColumns::Part::Whole},
    {u"かな", Kind::None, ListColumns::Part::Whole},
    {u"ｶﾅ", Kind::None, ListColumns::Part::Whole},
    {u"フリガナ", Kind::None, ListColumns::Part::Whole},
    {u"ふりがな", Kind::None, ListColumns::Part::Whole},
    {u"郵便番号", Kind::Code, ListColumns::Part::Whole},
    {u"〒", Kind::Code, ListColumns::Part::Whole},
    {u"都道府県", Kind::Address, ListColumns::Part::Prefecture},
    {u"市区町村", Kind::Address, ListColumns::Part::City},
    {u"市区郡町村", Kind::Address, ListColumns::Part::City},
    {u"町域", Kind::Address, ListColumns::Part::Town},
    {u"町名", Kind::Address, ListColumns::Part::Town},
    {u"番地", Kind::Address, ListColumns::Part::Rest},
    {u"建物", Kind::Address, ListColumns::Part::Rest},
    {u"住所", Kind::Address, ListColumns::Part::Whole},
    {u"所在地", Kind::Address, ListColumns::Part::Whole},
};

const HeaderName *headerName(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (const HeaderName &h : kHeaderNames)
        if (trimmed.contains(QStringView(h.name)))
            return &h;
    return nullptr;
}

// Whether the row names columns: a cell holding a name (送付先住所), or only one that is a name as a
// whole where the row may as well be data.
bool namesColumns(const QStringList &row, bool wholeOnly)
{
    return std::any_of(row.begin(), row.end(), [wholeOnly](const QString &text) {
        const HeaderName *h = headerName(text);
        return h && h->kind != Kind::None && (!wholeOnly || text.trimmed() == QStringView(h->name));
    });
}

bool isNumber(const QString &option)
{
    bool number = false;
    option.toInt(&number);
    return number;
}

// A column given as a number from 1 or as a header's name; -1 with error set when there is none.
qsizetype columnOf(const QString &option, const QStringList &firstRow, QString *error)
{
    bool isNumber = false;
    const int number = option.toInt(&isNumber);
    if (isNumber) {
        if (number >= 1 && number <= firstRow.size())
            return number - 1;
        *error = u"列 %1 はありません（1 行目は %2 列です）"_s.arg(option).arg(firstRow.size());
        return -1;
    }
    for (qsizetype i = 0; i < firstRow.size(); ++i)
        if (firstRow[i].trimmed() == option.trimmed())
            return i;
    *error = u"見出しが「%1」の列がありません"_s.arg(option);
    return -1;
}

} // namespace

std::optional<ListColumns> ListColumns::find(const QStringList &firstRow, const QString &codeOption,
                                             const QStringList &addressOptions, std::optional<bool> header,
                                             QString *error, Fault *fault)
{
    *fault = Fault::None;
    ListColumns columns;
    QStringList given = addressOptions;
    if (!codeOption.isEmpty())
        given.append(codeOption);
    const bool named = !std::all_of(given.begin(), given.end(), isNumber);
    if (named && header == false) {
        *error = u"見出しのない一覧では列を番号で指定してください"_s;
        *fault = Fault::NoSuchColumn;
        return std::nullopt;
    }
    columns.header = header ? *header : named || namesColumns(firstRow, !given.isEmpty());

    const auto columnGiven = [&](const QString &option) {
        const qsizetype column = columnOf(option, firstRow, error);
        *fault = column < 0 ? Fault::NoSuchColumn : Fault::None;
        return column;
    };
    if (!codeOption.isEmpty()) {
        columns.code = columnGiven(codeOption);
        if (columns.code < 0)
            return std::nullopt;
    }
    for (const QString &option : addressOptions) {
        const qsizetype column = columnGiven(option);
        if (column < 0)
            return std::nullopt;
        const HeaderName *h = columns.header ? headerName(firstRow[column]) : nullptr;
        columns.address.append(column);
        columns.parts.append(h && h->kind == Kind::Address ? h->part : Part::Whole);
    }

    if (columns.header) {
        for (qsizetype i = 0; i < firstRow.size(); ++i) {
            const HeaderName *h = headerName(firstRow[i]);
            if (!h || i == columns.code || columns.address.contains(i))
                continue;
            if (codeOption.isEmpty() && h->kind == Kind::Code && columns.code < 0)
                columns.code = i;
            else if (addressOptions.isEmpty() && h->kind == Kind::Address) {
                columns.address.append(i);
                columns.parts.append(h->part);
            }
        }
    }
    if (columns.code < 0 && columns.address.isEmpty()) {
        *fault = Fault::NotFound;
        *error =
            columns.header || !codeOption.isEmpty() || !addressOptions.isEmpty()
                ? u"郵便番号の列も住所の列も見つかりません"_s
                : u"見出し行（郵便番号、住所など）がありません。--code-column と --address-column で列を指定してください"_s;
        return std::nullopt;
    }
    return columns;
}

ListRequest ListColumns::givenIn(ListRequest request) const
{
    request.codeColumn = code < 0 ? QString() : QString::number(code + 1);
    request.addressColumns.clear();
    for (const qsizetype column : address)
        request.addressColumns.append(QString::number(column + 1));
    request.header = header;
    return request;
}
