#pragma once

#include "address/PostalEntry.h"
#include "address/PostalIndexFormat.h"

#include <QByteArray>
#include <QString>
#include <QVarLengthArray>
#include <memory>

class CityFinder;
class MappedFile;

// The postal codes of all Japan: code → towns or business, and address → code by the longest town
// that the address begins with. Read in place from an index file (PostalIndexWriter): opening costs
// no parsing, and a mapped file costs no memory of the program's own. Only read once opened, so one
// instance may serve several threads.
class PostalDirectory {
public:
    // Nearly every code has one entry: no allocation for a few.
    using Entries = QVarLengthArray<PostalEntry, 4>;

    // An empty directory, which finds nothing.
    PostalDirectory();
    ~PostalDirectory();

    // The index in a mapped file, or in bytes held in memory. No directory for a missing, damaged or
    // foreign file (wrong kind, version, byte order, size or checksum).
    static std::unique_ptr<PostalDirectory> open(std::unique_ptr<MappedFile> file);
    static std::unique_ptr<PostalDirectory> open(QByteArray bytes);

    // The data's date as the index records it ("2026-05-29"), or empty.
    QString date() const;
    // What the index was made from, as its writer was told.
    QByteArrayView sources() const;
    // The index file's checksum: it changes with any change of content.
    quint64 checksum() const { return m_header ? m_header->checksum : 0; }

    qsizetype entryCount() const { return m_recordCount; }
    // Every entry in code order, for checks over the whole data.
    PostalEntry entryAt(qsizetype index) const;

    // Entries of one code in the order the source gave them; empty when the code is unknown.
    Entries find(quint32 code) const;
    // The town entries (never businesses) whose key is the longest beginning of the text, folded as
    // PostalText::appendFolded folds, and that key's length (0: none). A town's keys are prefecture + city +
    // town, city + town, and (for a town with a name) prefecture + town; a building with codes of its
    // own has the building's name in its town, so it has keys of its own. AddressMatcher chooses among
    // what it finds.
    Entries findLongestKey(QStringView folded, qsizetype *keyLength) const;

    // The cities by the names an address may begin with, made when the directory is opened.
    const CityFinder &cities() const;
    // A city's prefecture and name as Japan Post writes them, by CityFinder's index.
    QStringView cityPrefecture(quint16 index) const;
    QStringView cityName(quint16 index) const;

private:
    bool attach(QByteArrayView bytes);
    template <typename T> const T *section(PostalIndexFormat::Section which, qsizetype *count) const;
    QStringView text(quint32 offset) const;
    const PostalIndexFormat::City *city(quint16 index) const;
    bool keyEquals(PostalIndexFormat::KeyKind kind, quint32 record, const char16_t *folded,
                   qsizetype length) const;

    std::unique_ptr<MappedFile> m_file;
    std::unique_ptr<CityFinder> m_cityFinder;
    QByteArray m_owned;
    QByteArrayView m_bytes;
    const PostalIndexFormat::Header *m_header = nullptr;
    const char16_t *m_strings = nullptr;
    qsizetype m_stringUnits = 0;
    const PostalIndexFormat::City *m_cities = nullptr;
    qsizetype m_cityCount = 0;
    const PostalIndexFormat::Record *m_records = nullptr;
    qsizetype m_recordCount = 0;
    const PostalIndexFormat::Extra *m_extras = nullptr;
    qsizetype m_extraCount = 0;
    const quint32 *m_blocks = nullptr;
    const quint32 *m_slots = nullptr;
    quint32 m_slotMask = 0;
    const quint32 *m_postings = nullptr;
    qsizetype m_postingWords = 0;
};
