#pragma once

#include "csv/CsvRecord.h"

#include <QByteArray>

class QIODevice;

// Reads records of comma- or tab-separated text one at a time, as RFC 4180 has them: fields in double
// quotes may hold the delimiter, line breaks and doubled quotes; lines end in CR LF or LF. Memory stays
// bounded whatever the file's size: a record longer than the limit is an error, not a larger buffer.
// A quote inside an unquoted field is taken as it is, as spreadsheets write such fields.
class CsvReader {
public:
    enum class Error {
        None,
        UnclosedQuote,  // the file ends inside a quoted field
        TextAfterQuote, // a closing quote followed by something other than the delimiter or line end
        LineTooLong,
        NulByte, // no text file, or a UTF-16 one
        ReadFailed,
    };
    static constexpr qsizetype kMaxRecordBytes = 1024 * 1024;

    CsvReader(QIODevice &device, char delimiter, qsizetype maxRecordBytes = kMaxRecordBytes);

    // The next record; false at the end of the file or on an error, which error() then tells.
    bool next(CsvRecord &record);
    Error error() const { return m_error; }
    // The line where the record in error starts.
    qint64 errorLine() const { return m_line; }
    // Bytes taken from the device so far.
    qint64 bytesRead() const { return m_bytesRead; }

private:
    enum class Parse { Complete, NeedMore, Failed };
    Parse parse(CsvRecord &record);
    // Moves p from a quoted field's opening quote past its closing one, and past a CR before the line
    // feed: to the delimiter or line feed that ends the field.
    Parse skipQuoted(const char *&p, const char *end);
    // The record's whole text and line end, checked, and the place of the next record.
    Parse finishRecord(CsvRecord &record, const char *begin, const char *lineEnd, const char *next,
                       bool anyQuoted);
    Parse nulByte();
    bool fill();

    QIODevice &m_device;
    char m_delimiter;
    qsizetype m_maxRecordBytes;
    QByteArray m_buffer;
    qsizetype m_start = 0; // where the next record starts in m_buffer
    bool m_atEnd = false;
    qint64 m_line = 1;
    qint64 m_bytesRead = 0;
    Error m_error = Error::None;
};
