#include "PostalAddressComponent.h"

#include "PostalText.h"

PostalAddressComponent::PostalAddressComponent(std::function<const PostalLoadResult &()> data,
                                               CandidateChooser &chooser)
    : m_data(std::move(data)), m_chooser(chooser)
{
}

void PostalAddressComponent::PutAdd(QString &PostCode, QString &Address, QString &Company, int mode)
{
    const PostalLoadResult &loaded = m_data();
    if (!loaded.directory) {
        Address.clear();
        return;
    }
    if (!PostalText::isBlankCode(PostCode)) {
        if (const auto code = PostalText::parseCode(PostCode))
            fromCode(*loaded.directory, *code, PostCode, Address, Company, mode);
        else
            Address.clear();
        return;
    }
    if (Address.trimmed().isEmpty()) {
        Address.clear();
        return;
    }
    fromAddress(*loaded.directory, PostCode, Address, mode);
}

int PostalAddressComponent::pick(const QStringList &candidates, int mode)
{
    if (candidates.size() == 1 || mode != 1)
        return 0;
    const int chosen = m_chooser.choose(candidates);
    return chosen >= 0 && chosen < candidates.size() ? chosen : -1;
}

void PostalAddressComponent::fromCode(const PostalDirectory &directory, quint32 code, QString &PostCode,
                                      QString &Address, QString &Company, int mode)
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
        QString label = address + e.note.toString();
        if (!e.business.isEmpty())
            label += QStringLiteral("　") + e.business.toString();
        labels.append(label);
    }
    if (distinct.isEmpty()) {
        Address.clear();
        return;
    }

    // An address typed beyond the directory's (a block number, a building) is the user's work: keep it.
    qsizetype chosen = -1;
    bool keepTyped = false;
    if (!Address.trimmed().isEmpty()) {
        for (qsizetype i = 0; i < distinct.size() && chosen < 0; ++i)
            if (PostalText::startsWithFolded(Address, addresses[i]))
                chosen = i;
        keepTyped = chosen >= 0;
    }
    if (chosen < 0)
        chosen = pick(labels, mode);
    if (chosen < 0) {
        Address.clear();
        return;
    }
    PostCode = PostalText::formatCode(code);
    if (!keepTyped)
        Address = addresses[chosen];
    if (Company.trimmed().isEmpty() && !distinct[chosen].business.isEmpty())
        Company = distinct[chosen].business.toString();
}

void PostalAddressComponent::fromAddress(const PostalDirectory &directory, QString &PostCode,
                                         QString &Address, int mode)
{
    const PostalDirectory::Entries entries = directory.findByAddress(Address);
    QList<quint32> codes;
    QStringList labels;
    for (const PostalEntry &e : entries) {
        if (codes.contains(e.code))
            continue;
        codes.append(e.code);
        labels.append(PostalText::formatCode(e.code) + QStringLiteral("　") + e.address() +
                      e.note.toString());
    }
    const int chosen = codes.isEmpty() ? -1 : pick(labels, mode);
    if (chosen < 0) {
        Address.clear();
        return;
    }
    PostCode = PostalText::formatCode(codes[chosen]);
}
