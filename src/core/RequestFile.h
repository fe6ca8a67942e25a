#pragma once

#include "core/AddressRecord.h"

#include <QString>
#include <QStringList>
#include <optional>

class FileSystem;

// The exchange with a calling program: it writes a request file whose name ends in "Velmo.txt" and
// whose text starts with "VelmoraA" (tab-separated fields), starts us with the path, and reads the
// answer back from the same file once we have ended.
class RequestFile {
public:
    static const QString kHeader;

    // The whole argument text names a request file: it ends in "Velmo.txt", letter case counting.
    static bool namesRequestFile(const QString &argumentText);
    // The request text when the argument names an existing, readable CP932 request file that starts
    // with the header; no value otherwise (the program then starts interactively). A symbolic link is
    // refused: the answer would replace whatever file it points to, whatever its name. bytes, when
    // given, receives the file's content as read, for writeAnswer.
    static std::optional<QString> read(const FileSystem &files, const QString &argumentText,
                                       QByteArray *bytes = nullptr);

    enum class Outcome { Written, FileChanged, WriteFailed };
    // Replaces the request file by the answer, but only while it still holds the bytes read at the
    // start: what the caller, or anyone, wrote there meanwhile is not overwritten.
    static Outcome writeAnswer(const FileSystem &files, const QString &path, const QByteArray &readAtStart,
                               const QString &answer);

    explicit RequestFile(const QString &requestText);

    // The record the window starts with. A map URL is taken only when it is an http or https URL of
    // the map service's own host and port, without user info, whose path stays under /maps (any page
    // there, not only a query); anything else could smuggle a script or a local file into the browser,
    // so it is dropped as if it pointed elsewhere.
    AddressRecord initialRecord() const { return m_initial; }

    // The six-field answer for the record as accepted, ending with the change flag.
    QString answerFor(const AddressRecord &finalRecord) const;

    // Whether a URL is one initialRecord() takes.
    static bool isMapServiceUrl(const QString &url);

private:
    QString field(qsizetype number) const;

    QStringList m_fields;
    AddressRecord m_initial;
};
