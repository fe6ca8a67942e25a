#pragma once

#include "lists/RowStatus.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>
#include <array>
#include <optional>

class Cp932Codec;
class PostalDirectory;
struct CsvRecord;
struct ListLayout;
struct PostalEntry;
struct RowCheck;

// Writes the rows of one list: its fields as they were but for what is filled in, the added columns
// at the end. The layout and codec must outlive the writer.
class ListRowWriter {
public:
    ListRowWriter(const ListLayout &layout, const Cp932Codec &codec);

    void header(const CsvRecord &record, QByteArray &out) const;
    // The row's status, written into out.
    RowStatus row(const CsvRecord &record, const PostalDirectory &directory, QByteArray &out);

private:
    using Fields = QVarLengthArray<QString, 16>;

    void appendField(const CsvRecord &record, qsizetype i, QString &text) const;
    QString codeText(quint32 code) const;
    // The filled address over the address columns: the prefecture, city and town to the columns that
    // hold them, the rest of the way to the last one that takes a part.
    QStringList addressParts(const PostalEntry &entry) const;
    // False when a value cannot be written in the list's encoding; nothing is written then.
    bool writeFields(const CsvRecord &record, const Fields &filled, QByteArray &out) const;
    void finish(const CsvRecord &record, const RowCheck &check, const QString &addedCode,
                const QString &addedAddress, QByteArray &out) const;
    // A column added after the row's own: quoted when the row's last field is, or where needed.
    void appendAdded(QByteArray &out, const QString &text, const CsvRecord &record) const;
    void appendBytes(QByteArray &out, QByteArrayView bytes, const CsvRecord &record) const;
    std::optional<QByteArray> encode(const QString &text) const;

    const ListLayout &m_layout;
    const Cp932Codec &m_codec;
    std::array<QByteArray, kRowStatusCount> m_statusBytes;
    // The row's code and address, kept with their room from row to row.
    QString m_code;
    QString m_address;
};
