#include "address/PostalAnswers.h"

#include "address/AddressMatcher.h"
#include "address/PostalText.h"

PostalAnswers PostalAnswers::forCode(const PostalDirectory &directory, quint32 code)
{
    PostalAnswers answers;
    for (const PostalEntry &e : directory.find(code)) {
        const QString address = e.address();
        bool seen = false;
        for (qsizetype i = 0; i < answers.size() && !seen; ++i)
            seen = answers.addresses[i] == address && answers.entries[i].business == e.business;
        if (seen)
            continue;
        QString label = address + e.note.toString();
        if (!e.business.isEmpty())
            label += QStringLiteral("　") + e.business.toString();
        else if (!e.kana.isEmpty())
            label += QStringLiteral("　") + e.kana.toString();
        answers.codes.append(code);
        answers.addresses.append(address);
        answers.labels.append(label);
        answers.entries.append(e);
    }
    return answers;
}

PostalAnswers PostalAnswers::forAddress(const PostalDirectory &directory, QStringView address)
{
    const AddressMatcher::Result found = AddressMatcher::match(directory, address);
    PostalAnswers answers;
    answers.cityCodeOnly = found.cityCodeOnly;
    for (const PostalEntry &e : found.entries) {
        if (answers.codes.contains(e.code))
            continue;
        const QString entryAddress = e.address();
        answers.codes.append(e.code);
        answers.addresses.append(entryAddress);
        answers.labels.append(PostalText::formatCode(e.code) + QStringLiteral("　") + entryAddress +
                              e.note.toString());
        answers.entries.append(e);
    }
    return answers;
}

qsizetype PostalAnswers::agreeingWith(QStringView typed) const
{
    if (typed.trimmed().isEmpty())
        return -1;
    for (qsizetype i = 0; i < size(); ++i)
        if (PostalText::startsWithFolded(typed, addresses[i]))
            return i;
    return -1;
}
