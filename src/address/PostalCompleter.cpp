#include "address/PostalCompleter.h"

#include "address/PostalAnswers.h"
#include "address/PostalText.h"

PostalCompleter::PostalCompleter(std::function<const PostalLoadResult &()> data, CandidateChooser &chooser)
    : m_data(std::move(data)), m_chooser(chooser)
{
}

CompletionNote PostalCompleter::complete(AddressRecord &record)
{
    const PostalLoadResult &loaded = m_data();
    if (!PostalText::isBlankCode(record.postalCode)) {
        if (const auto code = PostalText::parseCode(record.postalCode))
            fromCode(*loaded.directory, *code, record);
        else
            record.address.clear();
        return CompletionNote::None;
    }
    if (record.address.trimmed().isEmpty()) {
        record.address.clear();
        return CompletionNote::None;
    }
    return fromAddress(*loaded.directory, record);
}

int PostalCompleter::pick(const QStringList &candidates)
{
    if (candidates.size() == 1)
        return 0;
    const int chosen = m_chooser.choose(candidates);
    return chosen >= 0 && chosen < candidates.size() ? chosen : -1;
}

void PostalCompleter::fromCode(const PostalDirectory &directory, quint32 code, AddressRecord &record)
{
    const PostalAnswers answers = PostalAnswers::forCode(directory, code);
    if (answers.size() == 0) {
        record.address.clear();
        return;
    }
    // An address typed beyond the directory's (a block number, a building) is the user's work: keep it.
    qsizetype chosen = answers.agreeingWith(record.address);
    const bool keepTyped = chosen >= 0;
    if (chosen < 0)
        chosen = pick(answers.labels());
    if (chosen < 0) {
        record.address.clear();
        return;
    }
    record.postalCode = PostalText::formatCode(code);
    if (!keepTyped)
        record.address = answers.entries[chosen].address();
    if (record.company.trimmed().isEmpty() && !answers.entries[chosen].business.isEmpty())
        record.company = answers.entries[chosen].business.toString();
}

CompletionNote PostalCompleter::fromAddress(const PostalDirectory &directory, AddressRecord &record)
{
    const PostalAnswers answers = PostalAnswers::forAddress(directory, record.address);
    const int chosen = answers.size() == 0 ? -1 : pick(answers.labels());
    if (chosen < 0) {
        record.address.clear();
        return CompletionNote::None;
    }
    record.postalCode = PostalText::formatCode(answers.entries[chosen].code);
    return answers.cityCodeOnly ? CompletionNote::CityCodeOnly : CompletionNote::None;
}
