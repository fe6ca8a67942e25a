#include "address/PostalAnswers.h"

#include "address/AddressMatcher.h"
#include "address/PostalText.h"

PostalAnswers PostalAnswers::forCode(const PostalDirectory &directory, quint32 code)
{
    PostalAnswers answers;
    for (const PostalEntry &e : directory.find(code)) {
        const auto same = [&e](const PostalEntry &seen) {
            return seen.business == e.business && seen.prefecture == e.prefecture && seen.city == e.city &&
                   seen.town == e.town && seen.street == e.street;
        };
        if (std::none_of(answers.entries.begin(), answers.entries.end(), same))
            answers.entries.append(e);
    }
    return answers;
}

PostalAnswers PostalAnswers::forAddress(const PostalDirectory &directory, QStringView address)
{
    const AddressMatcher::Result found = AddressMatcher::match(directory, address);
    PostalAnswers answers;
    answers.byAddress = true;
    answers.cityCodeOnly = found.cityCodeOnly;
    for (const PostalEntry &e : found.entries)
        if (std::none_of(answers.entries.begin(), answers.entries.end(),
                         [&e](const PostalEntry &seen) { return seen.code == e.code; }))
            answers.entries.append(e);
    return answers;
}

QStringList PostalAnswers::labels() const
{
    QStringList labels;
    for (const PostalEntry &e : entries) {
        if (byAddress) {
            labels.append(PostalText::formatCode(e.code) + QStringLiteral("　") + e.address() +
                          e.note.toString());
            continue;
        }
        QString label = e.address() + e.note.toString();
        if (!e.business.isEmpty())
            label += QStringLiteral("　") + e.business.toString();
        else if (!e.kana.isEmpty())
            label += QStringLiteral("　") + e.kana.toString();
        labels.append(label);
    }
    return labels;
}

qsizetype PostalAnswers::agreeingWith(QStringView typed) const
{
    if (typed.trimmed().isEmpty())
        return -1;
    for (qsizetype i = 0; i < size(); ++i)
        if (PostalText::startsWithFolded(typed, entries[i].address()))
            return i;
    return -1;
}
