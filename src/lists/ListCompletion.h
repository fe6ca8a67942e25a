#pragma once

#include "lists/ListRequest.h"
#include "lists/RowStatus.h"

#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <functional>
#include <optional>

class Cp932Codec;
class FileSystem;
class ListEvidence;
class PostalDirectory;
class QFile;
class QIODevice;
struct ListLayout;

// Completes and checks a whole list (CSV or tab-separated) against the postal-code directory, row by
// row as RowCheck does, into a new file: the input's bytes pass through unchanged but for the codes and
// addresses filled in, and a status and the candidates are added as the last columns. The file is read
// in pieces and the output streamed, so memory stays bounded whatever its size: once as a rule, its
// encoding and how it writes codes guessed from the first rows and settled over all of them, and a
// second time in the rare file whose first rows misled the guess. The output is written as every file
// of the program is (FileSystem::writeAtomic: a temporary file beside it, renamed at the end, a refused
// rename tried again), after the output's path is checked again: a malformed file, a failed write (a
// full disk), a cancel or a path that has become a link leaves nothing, and an earlier file at the path
// as it was.
// A cancel is heard a few times a second however long the rows. Needs QtCore alone and may run on a
// worker thread.
class ListCompletion {
public:
    using Encoding = ListEncoding;
    using Request = ListRequest;
    enum class Outcome { Done, Failed, Cancelled };
    struct Report {
        Outcome outcome = Outcome::Failed;
        // In Japanese, with the line number where the file is at fault.
        QString error;
        // The columns asked for are not in the list: the request's fault rather than the file's.
        bool badColumn = false;
        // Something the run went past but the user should know, in Japanese; empty when none.
        QString warning;
        bool outputExists = false;
        QString output;
        qint64 rows = 0;
        std::array<qint64, kRowStatusCount> counts{};
        // When the postal-code data the rows were checked against was published.
        QString dataDate;
    };
    // Bytes done of the total work; called now and then on the running thread.
    using Progress = std::function<void(qint64 done, qint64 total)>;

    // files writes the output, in its codec when the list is CP932.
    ListCompletion(const PostalDirectory &directory, const FileSystem &files);

    // cancel, when given, is read now and then; set from another thread, it ends the work early.
    Report run(const Request &request, const Progress &progress = {},
               const std::atomic<bool> *cancel = nullptr) const;

    // "<name>_velmora.<ext>" beside the input.
    static QString defaultOutput(const QString &input);
    // Why the list may not be written at output, in Japanese; empty when it may. Never through a link
    // (its target may be any file of the user's), onto a folder or anything but a regular file, or onto
    // the input itself, however its path is spelt.
    static QString outputRefusal(const QString &input, const QString &output);

private:
    // Whether the input is a file and the output may be written; otherwise report.error says why.
    static bool checkPaths(const Request &request, Report &report);
    // One run's state over its attempts at the output.
    struct Pass;
    // The whole output into out, from the input's start; false, with pass.report saying why, when it is
    // not to be put in place.
    bool writeOutput(Pass &pass, QIODevice &out) const;
    // One pass over the list into out; with evidence, every record is taken into it.
    Outcome write(const ListLayout &layout, QFile &file, QIODevice &out, Report &report,
                  const std::function<bool(qint64)> &goOn, ListEvidence *evidence) const;

    const PostalDirectory &m_directory;
    const FileSystem &m_files;
    const Cp932Codec &m_codec;
};
