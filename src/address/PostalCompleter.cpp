#include "address/PostalCompleter.h"

#include "address/PostalAnswers.h"
#include "address/PostalText.h"

namespace {

// One answer, or the user's choice among several.
Completion answerFrom(QList<CompletionChoice> choices)
{
    Completion answer;
    if (choices.isEmpty())
        return answer;
    if (choices.size() == 1) {
        answer.kind = Completion::Kind::Found;
        answer.record = choices.first().record;
        answer.note = choices.first().note;
        return answer;
    }
    answer.kind = Completion::Kind::Candidates;
    answer.choices = std::move(choices);
    return answer;
}

} // namespace

PostalCompleter::PostalCompleter(std::function<const PostalLoadResult *()> data) : m_data(std::move(data)) {}

Completion PostalCompleter::complete(const AddressRecord &record)
{
    const PostalLoadResult *loaded = m_data();
    if (!loaded) {
        Completion failed;
        failed.kind = Completion::Kind::Failed;
        return failed;
    }
    if (!PostalText::isBlankCode(record.postalCode)) {
        if (const auto code = PostalText::parseCode(record.postalCode))
            return fromCode(*loaded->directory, *code, record);
        return {};
    }
    if (record.address.trimmed().isEmpty())
        return {};
    return fromAddress(*loaded->directory, record);
}

Completion PostalCompleter::fromCode(const PostalDirectory &directory, quint32 code,
                                     const AddressRecord &record)
{
    const PostalAnswers answers = PostalAnswers::forCode(directory, code);
    const auto completed = [&](qsizetype i, bool keepTyped) {
        AddressRecord r = record;
        r.postalCode = PostalText::formatCode(code);
        if (!keepTyped)
            r.address = answers.entries[i].address();
        if (r.company.trimmed().isEmpty() && !answers.entries[i].business.isEmpty())
            r.company = answers.entries[i].business.toString();
        return r;
    };
    // An address typed beyond the directory's (a block number, a building) is the user's work: keep it.
    if (const qsizetype agreeing = answers.agreeingWith(record.address); agreeing >= 0)
        return answerFrom({{{}, completed(agreeing, true)}});
    QList<CompletionChoice> choices;
    const QStringList labels = answers.size() > 1 ? answers.labels() : QStringList();
    for (qsizetype i = 0; i < answers.size(); ++i)
        choices.append({labels.value(i), completed(i, false)});
    return answerFrom(std::move(choices));
}

Completion PostalCompleter::fromAddress(const PostalDirectory &directory, const AddressRecord &record)
{
    const PostalAnswers answers = PostalAnswers::forAddress(directory, record.address);
    const CompletionNote note = answers.cityCodeOnly ? CompletionNote::CityCodeOnly : CompletionNote::None;
    QList<CompletionChoice> choices;
    const QStringList labels = answers.size() > 1 ? answers.labels() : QStringList();
    for (qsizetype i = 0; i < answers.size(); ++i) {
        AddressRecord r = record;
        r.postalCode = PostalText::formatCode(answers.entries[i].code);
        choices.append({labels.value(i), r, note});
    }
    return answerFrom(std::move(choices));
}
