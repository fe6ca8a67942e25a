#include "lists/RowCheck.h"

#include "address/PostalAnswers.h"
#include "address/PostalText.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

// More would make a cell no one reads: a code shared by sixty-six towns gave four thousand characters.
constexpr qsizetype kMostCandidates = 10;

QString joined(const PostalAnswers &answers)
{
    const QStringList labels = answers.labels();
    QString text = labels.first(std::min(labels.size(), kMostCandidates)).join(u" / "_s);
    if (labels.size() > kMostCandidates)
        text += u" …ほか %1 件"_s.arg(labels.size() - kMostCandidates);
    return text;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The code a spreadsheet leaves of one that begins with 0 once it has taken it for a number: "600001"
// for 060-0001, "10010" for 001-0010 (every leading 0 goes); or one written with the hyphen and its
// first digits cut, "60-0001". No value for anything else, a full code included.
std::optional<quint32> withoutLeadingZero(QStringView code)
{
    code = code.trimmed();
    const qsizetype hyphen = code.indexOf(u'-');
    const bool shape = hyphen < 0 ? code.size() == 5 || code.size() == 6
                                  : (hyphen == 1 || hyphen == 2) && code.size() - hyphen == 5;
    if (!shape)
        return std::nullopt;
    quint32 value = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        if (i == hyphen)
            continue;
        if (!isDigit(code[i]))
            return std::nullopt;
        value = value * 10 + quint32(code[i].unicode() - u'0');
    }
    return value;
}

// Whether the address is the code's: it begins with the code's address, or the search takes it there.
bool agree(const PostalDirectory &directory, const PostalAnswers &byCode, quint32 code, QStringView address)
{
    if (byCode.agreeingWith(address) >= 0)
        return true;
    // An address written another way (without its prefecture, 大字 added, a Kyoto street) still
    // agrees when the search takes it to the code.
    const PostalAnswers byAddress = PostalAnswers::forAddress(directory, address);
    return std::any_of(byAddress.entries.begin(), byAddress.entries.end(),
                       [&](const PostalEntry &e) { return e.code == code; });
}

// A code that has lost its leading 0 is told apart from a wrong one when, with it, it is a code the
// directory knows and, with an address, that address's code; an empty address is filled from it where
// it has one town.
std::optional<RowCheck> zeroLost(const PostalDirectory &directory, quint32 code, QStringView address)
{
    const PostalAnswers byCode = PostalAnswers::forCode(directory, code);
    const bool noAddress = address.trimmed().isEmpty();
    if (byCode.size() == 0 || (!noAddress && !agree(directory, byCode, code, address)))
        return std::nullopt;
    RowCheck row;
    row.status = RowStatus::ZeroLost;
    row.candidates = PostalText::formatCode(code);
    if (noAddress && byCode.size() == 1)
        row.fillAddress = byCode.entries.front();
    return row;
}

// A row with one of its two fields given: none, several to tell apart, or the one that fills it.
template <typename Fill> RowCheck filled(const PostalAnswers &answers, Fill fill)
{
    RowCheck row;
    if (answers.size() == 0) {
        row.status = RowStatus::NotFound;
    } else if (answers.size() > 1) {
        row.status = RowStatus::Several;
        row.candidates = joined(answers);
    } else {
        row.status = answers.cityCodeOnly ? RowStatus::CityCodeOnly : RowStatus::Completed;
        fill(row, answers.entries.front());
    }
    return row;
}

RowCheck fromAddress(const PostalDirectory &directory, QStringView address)
{
    return filled(PostalAnswers::forAddress(directory, address),
                  [](RowCheck &row, const PostalEntry &e) { row.fillCode = e.code; });
}

RowCheck fromCode(const PostalDirectory &directory, quint32 code)
{
    return filled(PostalAnswers::forCode(directory, code),
                  [](RowCheck &row, const PostalEntry &e) { row.fillAddress = e; });
}

RowCheck bothGiven(const PostalDirectory &directory, std::optional<quint32> code, QStringView address)
{
    RowCheck row;
    PostalAnswers byCode;
    if (code) {
        byCode = PostalAnswers::forCode(directory, *code);
        if (agree(directory, byCode, *code, address)) {
            row.status = RowStatus::Matches;
            return row;
        }
    }
    const PostalAnswers byAddress = PostalAnswers::forAddress(directory, address);
    if (byAddress.size() == 0 && byCode.size() == 0) {
        row.status = RowStatus::NotFound;
        return row;
    }
    row.status = RowStatus::Mismatch;
    row.candidates = joined(byAddress.size() > 0 ? byAddress : byCode);
    return row;
}

} // namespace

RowCheck RowCheck::check(const PostalDirectory &directory, QStringView code, QStringView address)
{
    const bool noCode = PostalText::isBlankCode(code);
    const bool noAddress = address.trimmed().isEmpty();
    if (noCode && noAddress)
        return {};
    if (noCode)
        return fromAddress(directory, address);
    const std::optional<quint32> parsed = PostalText::parseCode(code);
    if (const auto full = parsed ? std::nullopt : withoutLeadingZero(code))
        if (auto row = zeroLost(directory, *full, address))
            return *row;
    if (noAddress) {
        if (parsed)
            return fromCode(directory, *parsed);
        RowCheck row;
        row.status = RowStatus::NotFound;
        return row;
    }
    return bothGiven(directory, parsed, address);
}
