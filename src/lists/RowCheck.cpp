#include "lists/RowCheck.h"

#include "address/PostalAnswers.h"
#include "address/PostalText.h"

namespace {

QString joined(const PostalAnswers &answers)
{
    return answers.labels().join(QStringLiteral(" / "));
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
        if (byCode.agreeingWith(address) >= 0) {
            row.status = RowStatus::Matches;
            return row;
        }
    }
    // An address written another way (without its prefecture, 大字 added, a Kyoto street) still
    // agrees when the search takes it to the code.
    const PostalAnswers byAddress = PostalAnswers::forAddress(directory, address);
    if (code && std::any_of(byAddress.entries.begin(), byAddress.entries.end(),
                            [&](const PostalEntry &e) { return e.code == *code; })) {
        row.status = RowStatus::Matches;
        return row;
    }
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
    if (noAddress) {
        if (parsed)
            return fromCode(directory, *parsed);
        RowCheck row;
        row.status = RowStatus::NotFound;
        return row;
    }
    return bothGiven(directory, parsed, address);
}
