#include "address/PostalCompleter.h"

#include "address/AddressMatcher.h"
#include "address/PostalText.h"

PostalCompleter::PostalCompleter(std::function<const PostalLoadResult &()> data, CandidateChooser &chooser)
    : m_data(std::move(data)), m_chooser(chooser)
{
}

CompletionNote PostalCompleter::complete(AddressRecord &record, CompletionMode mode)
{
    const PostalLoadResult &loaded = m_data();
    if (!loaded.directory) {
        record.address.clear();
        return CompletionNote::None;
    }
    if (!PostalText::isBlankCode(record.postalCode)) {
        if (const auto code = PostalText::parseCode(record.postalCode))
            fromCode(*loaded.directory, *code, record, mode);
        else
            record.address.clear();
        return CompletionNote::None;
    }
    if (record.address.trimmed().isEmpty()) {
        record.address.clear();
        return CompletionNote::None;
    }
    return fromAddress(*loaded.directory, record, mode);
}

int PostalCompleter::pick(const QStringList &candidates, CompletionMode mode)
{
    if (candidates.size() == 1 || mode != CompletionMode::AskUser)
        return 0;
    const int chosen = m_chooser.choose(candidates);
    return chosen >= 0 && chosen < candidates.size() ? chosen : -1;
}

void PostalCompleter::fromCode(const PostalDirectory &directory, quint32 code, AddressRecord &record,
                               CompletionMode mode)
{
    const PostalDirectory::Entries entries = directory.find(code);
    // Entries that differ only by Japan Post's remarks give the same answer: ask only about real choices.
    QList<PostalEntry> distinct;
    QStringList addresses;
    QStringList labels;
    for (const PostalEntry &e : entries) {
        const QString address = e.address();
        bool seen = false;
        for (qsizetype i = 0; i < distinct.size() && !seen; ++i)
            seen = addresses[i] == address && distinct[i].business == e.business;
        if (seen)
            continue;
        distinct.append(e);
        addresses.append(address);
        // Towns that share a code may be many (452-0961 has sixty): the reading helps to find one.
        QString label = address + e.note.toString();
        if (!e.business.isEmpty())
            label += QStringLiteral("　") + e.business.toString();
        else if (!e.kana.isEmpty())
            label += QStringLiteral("　") + e.kana.toString();
        labels.append(label);
    }
    if (distinct.isEmpty()) {
        record.address.clear();
        return;
    }

    // An address typed beyond the directory's (a block number, a building) is the user's work: keep it.
    qsizetype chosen = -1;
    bool keepTyped = false;
    if (!record.address.trimmed().isEmpty()) {
        for (qsizetype i = 0; i < distinct.size() && chosen < 0; ++i)
            if (PostalText::startsWithFolded(record.address, addresses[i]))
                chosen = i;
        keepTyped = chosen >= 0;
    }
    if (chosen < 0)
        chosen = pick(labels, mode);
    if (chosen < 0) {
        record.address.clear();
        return;
    }
    record.postalCode = PostalText::formatCode(code);
    if (!keepTyped)
        record.address = addresses[chosen];
    if (record.company.trimmed().isEmpty() && !distinct[chosen].business.isEmpty())
        record.company = distinct[chosen].business.toString();
}

CompletionNote PostalCompleter::fromAddress(const PostalDirectory &directory, AddressRecord &record,
                                            CompletionMode mode)
{
    const AddressMatcher::Result found = AddressMatcher::match(directory, record.address);
    QList<quint32> codes;
    QStringList labels;
    for (const PostalEntry &e : found.entries) {
        if (codes.contains(e.code))
            continue;
        codes.append(e.code);
        labels.append(PostalText::formatCode(e.code) + QStringLiteral("　") + e.address() +
                      e.note.toString());
    }
    const int chosen = codes.isEmpty() ? -1 : pick(labels, mode);
    if (chosen < 0) {
        record.address.clear();
        return CompletionNote::None;
    }
    record.postalCode = PostalText::formatCode(codes[chosen]);
    return found.cityCodeOnly ? CompletionNote::CityCodeOnly : CompletionNote::None;
}
