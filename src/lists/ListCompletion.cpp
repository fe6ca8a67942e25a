#include "lists/ListCompletion.h"

#include "address/PostalDirectory.h"
#include "core/FileSystem.h"
#include "core/Utf8ByteOrderMark.h"
#include "csv/CsvReader.h"
#include "lists/ListEvidence.h"
#include "lists/ListLayout.h"
#include "lists/ListRowWriter.h"

#include "platform/FileIdentity.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <cerrno>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype kFlushBytes = 256 * 1024;
constexpr qint64 kAskEveryMs = 100;

// The causes of a failed write that a user can act on, in Japanese: the system's own words for them
// are English on many systems.
struct WriteFailure {
    int error;
    const char16_t *text;
};
constexpr WriteFailure kWriteFailures[] = {
    {ENOSPC, u"ディスクの空きがありません"},        // a full disk
    {EFBIG, u"ファイルの大きさの上限を超えました"}, // the system's limit on one file
    {EROFS, u"読み取り専用の場所です"},             // a read-only mount or medium
    {EACCES, u"書き込みが許されていません"},        // the folder's permissions
    {EIO, u"ディスクの読み書きに失敗しました"},     // a failing disk or a network share gone
};

// Why the output could not be written. systemError: errno as the failed write left it, systemText what
// Qt said; a volume with no room left is a full disk whatever the error said.
QString writeError(const QString &output, int systemError, const QString &systemText)
{
    const QStorageInfo volume(QFileInfo(output).absolutePath());
    if (volume.isValid() && volume.bytesAvailable() < kFlushBytes)
        systemError = ENOSPC;
    QString cause = u"システムの説明: "_s + systemText;
    for (const WriteFailure &failure : kWriteFailures)
        if (failure.error == systemError)
            cause = QString::fromUtf16(failure.text);
    return u"出力ファイル %1 に書き込めません（%2）"_s.arg(output, cause);
}

} // namespace

QString ListCompletion::defaultOutput(const QString &input)
{
    // Beside the input, in the form its path was given.
    const QFileInfo info(input);
    const QString suffix = info.suffix();
    return input.left(input.size() - info.fileName().size()) + info.completeBaseName() + u"_velmora"_s +
           (suffix.isEmpty() ? QString() : u'.' + suffix);
}

QString ListCompletion::outputRefusal(const QString &input, const QString &output)
{
    const QFileInfo out(output);
    if (out.isSymLink())
        return u"出力先 %1 はリンクです（リンクの先には書き込みません）"_s.arg(output);
    if (out.isDir())
        return u"出力先 %1 はフォルダーです"_s.arg(output);
    if (out.exists() && !out.isFile())
        return u"出力先 %1 はファイルではありません"_s.arg(output);
    if (const auto target = FileIdentity::of(output); target && target == FileIdentity::of(input))
        return u"出力先が入力ファイルと同じです: %1"_s.arg(output);
    return {};
}

bool ListCompletion::checkPaths(const Request &request, Report &report)
{
    const QFileInfo in(request.input);
    if (!in.isFile()) {
        report.error =
            (in.exists() ? u"%1 はファイルではありません"_s : u"%1 が見つかりません"_s).arg(request.input);
        return false;
    }
    report.error = outputRefusal(request.input, report.output);
    if (report.error.isEmpty() && QFileInfo::exists(report.output) && !request.overwrite) {
        report.error = u"出力ファイル %1 は既にあります"_s.arg(report.output);
        report.outputExists = true;
    }
    return report.error.isEmpty();
}

struct ListCompletion::Pass {
    const Request &request;
    QFile &file;
    ListLayout layout;
    ListEvidence evidence;
    Report &report;
    std::function<bool(qint64)> goOn;
    // The first pass takes the evidence; a pass again after a refused rename need not.
    bool taking = true;
    bool started = false;
    // The first rows misled the guess (rare): the list is written again as the whole file has it.
    bool again = false;
};

ListCompletion::ListCompletion(const PostalDirectory &directory, const FileSystem &files)
    : m_directory(directory), m_files(files), m_codec(files.codec())
{
}

ListCompletion::Report ListCompletion::run(const Request &request, const Progress &progress,
                                           const std::atomic<bool> *cancel) const
{
    Report report;
    report.dataDate = m_directory.date();
    report.output = request.output.isEmpty() ? defaultOutput(request.input) : request.output;
    if (!checkPaths(request, report))
        return report;
    QFile file(request.input);
    if (!file.open(QIODevice::ReadOnly)) {
        report.error = u"%1 を開けません"_s.arg(request.input);
        return report;
    }
    ListColumns::Fault fault = ListColumns::Fault::None;
    const std::optional<ListLayout> layout =
        ListLayout::guess(file, request.input, request, m_codec, &report.error, &fault);
    report.badColumn = fault == ListColumns::Fault::NoSuchColumn;
    if (!layout)
        return report;
    if (layout->byteOrderMark && request.encoding == Encoding::Cp932)
        report.warning = u"UTF-8 の印 (BOM) がありますが、指定のとおり CP932 として読みます"_s;
    const auto goOn = [&, total = file.size()](qint64 done) {
        if (progress)
            progress(done, total);
        return !(cancel && cancel->load());
    };
    Pass pass{request, file, *layout, ListEvidence(*layout, request.encoding, m_codec), report, goOn};
    FileSystem::WriteResult written;
    do {
        pass.again = false;
        written = m_files.writeAtomic(report.output, [&](QIODevice &out) { return writeOutput(pass, out); });
    } while (pass.again);
    if (!pass.started) {
        report.error = u"出力ファイル %1 を作れません"_s.arg(report.output);
        report.outcome = Outcome::Failed;
    } else if (!written.written && report.outcome == Outcome::Done) {
        // The rows are all written, but the file could not be put in place.
        report.error = writeError(report.output, written.systemError, written.errorString);
        report.outcome = Outcome::Failed;
    }
    return report;
}

bool ListCompletion::writeOutput(Pass &pass, QIODevice &out) const
{
    pass.started = true;
    Report &report = pass.report;
    report.outcome = Outcome::Failed;
    if (!pass.file.seek(0)) {
        report.error = u"%1 を読めません"_s.arg(pass.request.input);
        return false;
    }
    report.outcome =
        write(pass.layout, pass.file, out, report, pass.goOn, pass.taking ? &pass.evidence : nullptr);
    if (report.outcome != Outcome::Done)
        return false;
    if (std::exchange(pass.taking, false)) {
        const std::optional<ListLayout> settled = pass.evidence.settle(&report.error);
        if (!settled) {
            report.outcome = Outcome::Failed;
            return false;
        }
        if (settled->utf8 != pass.layout.utf8 || settled->hyphenated != pass.layout.hyphenated) {
            pass.layout = *settled;
            pass.again = true;
            return false;
        }
    }
    // What the path is now, not what it was at the start: a link planted meanwhile is not written
    // through, nor the input replaced.
    if (report.error = outputRefusal(pass.request.input, report.output); !report.error.isEmpty()) {
        report.outcome = Outcome::Failed;
        return false;
    }
    if (!pass.goOn(pass.file.size())) {
        report.outcome = Outcome::Cancelled;
        return false;
    }
    return true;
}

ListCompletion::Outcome ListCompletion::write(const ListLayout &layout, QFile &file, QIODevice &out,
                                              Report &report, const std::function<bool(qint64)> &goOn,
                                              ListEvidence *evidence) const
{
    report.rows = 0;
    report.counts = {};
    QByteArray buffer;
    buffer.reserve(kFlushBytes + CsvReader::kMaxRecordBytes);
    if (ListLayout::skipByteOrderMark(file))
        buffer += Utf8ByteOrderMark::kBytes;
    CsvReader reader(file, layout.delimiter);
    ListRowWriter writer(layout, m_codec);
    CsvRecord record;
    const auto flush = [&] {
        errno = 0;
        const bool written = out.write(buffer) == buffer.size();
        const int systemError = errno;
        buffer.resize(0); // keeps its room
        if (!written)
            report.error = writeError(report.output, systemError, out.errorString());
        return written;
    };
    // A stop is heard and the progress told a few times a second, whatever the rows' length.
    QElapsedTimer sinceAsked;
    sinceAsked.start();
    qint64 bytesAsked = 0;
    for (qint64 n = 0; reader.next(record); ++n) {
        const bool header = n == 0 && layout.columns.header;
        if (evidence)
            evidence->take(record, header);
        if (header) {
            writer.header(record, buffer);
        } else if (record.isEmptyLine()) {
            buffer += record.lineEnd;
        } else {
            ++report.counts[std::size_t(writer.row(record, m_directory, buffer))];
            ++report.rows;
        }
        if (buffer.size() > kFlushBytes && !flush())
            return Outcome::Failed;
        if (((n & 0xF) == 0xF || reader.bytesRead() - bytesAsked > kFlushBytes) &&
            sinceAsked.elapsed() >= kAskEveryMs) {
            sinceAsked.restart();
            bytesAsked = reader.bytesRead();
            if (!goOn(bytesAsked))
                return Outcome::Cancelled;
        }
    }
    if (reader.error() != CsvReader::Error::None) {
        report.error = ListLayout::readerError(reader);
        return Outcome::Failed;
    }
    return flush() ? Outcome::Done : Outcome::Failed;
}
