#include "lists/ListCompletion.h"

#include "address/PostalDirectory.h"
#include "address/PostalText.h"
#include "core/Cp932Codec.h"
#include "core/FileSystem.h"
#include "core/Utf8ByteOrderMark.h"
#include "csv/CsvReader.h"
#include "csv/CsvText.h"
#include "lists/ListEvidence.h"
#include "lists/ListLayout.h"
#include "lists/RowCheck.h"

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

// Writes the rows of one list: its fields as they were but for what is filled in, the added columns
// at the end.
class RowWriter {
public:
    RowWriter(const ListLayout &layout, const Cp932Codec &codec) : m_layout(layout), m_codec(codec)
    {
        for (const RowStatusText &text : kRowStatusTexts)
            m_statusBytes[std::size_t(text.status)] = encode(QString::fromUtf16(text.inFile)).value();
    }

    void header(const CsvRecord &record, QByteArray &out) const
    {
        out += record.raw;
        QStringList names;
        if (m_layout.columns.code < 0)
            names.append(u"郵便番号"_s);
        if (m_layout.columns.address.isEmpty())
            names.append(u"住所"_s);
        names.append({u"照合結果"_s, u"候補"_s});
        for (const QString &name : names)
            appendAdded(out, name, record);
        out += record.lineEnd;
    }

    // The row's status, written into out.
    RowStatus row(const CsvRecord &record, const PostalDirectory &directory, QByteArray &out)
    {
        if (record.size() != m_layout.fieldCount) {
            // With the fields it has: padded to the header's width, a short row could grow without
            // bound (a header of 500,000 columns).
            out += record.raw;
            finish(record, RowCheck{RowStatus::ColumnCount, {}, {}, {}}, {}, {}, out);
            return RowStatus::ColumnCount;
        }
        const auto &columns = m_layout.columns;
        m_code.resize(0);
        m_address.resize(0);
        if (columns.code >= 0)
            appendField(record, columns.code, m_code);
        for (const qsizetype column : columns.address)
            appendField(record, column, m_address);
        RowCheck check = RowCheck::check(directory, m_code, m_address);

        Fields filled(record.size());
        QString addedCode, addedAddress;
        if (check.fillCode) {
            const QString text = codeText(*check.fillCode);
            (columns.code >= 0 ? filled[columns.code] : addedCode) = text;
        }
        if (check.fillAddress) {
            const QStringList parts = addressParts(*check.fillAddress);
            for (qsizetype i = 0; i < parts.size(); ++i)
                filled[columns.address[i]] = parts[i];
            if (columns.address.isEmpty())
                addedAddress = check.fillAddress->address();
        }
        if (!writeFields(record, filled, out)) {
            out += record.raw;
            check = RowCheck{RowStatus::Unwritable, {}, {}, u"CP932 で書けない文字があります"_s};
        }
        finish(record, check, addedCode, addedAddress, out);
        return check.status;
    }

private:
    using Fields = QVarLengthArray<QString, 16>;

    void appendField(const CsvRecord &record, qsizetype i, QString &text) const
    {
        QByteArray spare;
        m_layout.appendText(record.value(i, spare), m_codec, text);
    }

    QString codeText(quint32 code) const
    {
        return m_layout.hyphenated ? PostalText::formatCode(code)
                                   : QString::number(code).rightJustified(7, u'0');
    }

    // The filled address over the address columns: the prefecture, city and town to the columns that
    // hold them, the rest of the way to the last one that takes a part.
    QStringList addressParts(const PostalEntry &entry) const
    {
        const QString pieces[] = {entry.prefecture.toString(), entry.city.toString(),
                                  entry.town.toString() + entry.street.toString()};
        const auto &parts = m_layout.columns.parts;
        QStringList values(parts.size());
        qsizetype next = 0, last = 0;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            using Part = ListColumns::Part;
            const qsizetype upTo = parts[i] == Part::Prefecture ? 1
                                   : parts[i] == Part::City     ? 2
                                   : parts[i] == Part::Rest     ? next
                                                                : 3;
            if (upTo <= next)
                continue;
            for (; next < upTo; ++next)
                values[i] += pieces[next];
            last = i;
        }
        for (; next < 3 && !values.isEmpty(); ++next)
            values[last] += pieces[next];
        return values;
    }

    // False when a value cannot be written in the list's encoding; nothing is written then.
    bool writeFields(const CsvRecord &record, const Fields &filled, QByteArray &out) const
    {
        if (std::all_of(filled.begin(), filled.end(), [](const QString &s) { return s.isEmpty(); })) {
            out += record.raw;
            return true;
        }
        const qsizetype start = out.size();
        for (qsizetype i = 0; i < record.size(); ++i) {
            if (i > 0)
                out += m_layout.delimiter;
            if (filled[i].isEmpty()) {
                out += record.rawField(i);
                continue;
            }
            const auto bytes = encode(filled[i]);
            if (!bytes) {
                out.resize(start);
                return false;
            }
            CsvText::appendField(out, *bytes, m_layout.delimiter, record.fields[i].quoted);
        }
        return true;
    }

    void finish(const CsvRecord &record, const RowCheck &check, const QString &addedCode,
                const QString &addedAddress, QByteArray &out) const
    {
        const auto &columns = m_layout.columns;
        if (columns.code < 0)
            appendAdded(out, addedCode, record);
        if (columns.address.isEmpty())
            appendAdded(out, addedAddress, record);
        appendBytes(out, m_statusBytes[std::size_t(check.status)], record);
        appendAdded(out, check.candidates, record);
        out += record.lineEnd;
    }

    // A column added after the row's own: quoted when the row's last field is, or where needed.
    void appendAdded(QByteArray &out, const QString &text, const CsvRecord &record) const
    {
        appendBytes(out, text.isEmpty() ? QByteArray() : encode(text).value_or(QByteArray()), record);
    }
    void appendBytes(QByteArray &out, QByteArrayView bytes, const CsvRecord &record) const
    {
        out += m_layout.delimiter;
        const bool quote = !record.fields.isEmpty() && record.fields.back().quoted;
        CsvText::appendField(out, bytes, m_layout.delimiter, quote);
    }

    std::optional<QByteArray> encode(const QString &text) const
    {
        return m_layout.utf8 ? std::optional(text.toUtf8()) : m_codec.encode(text);
    }

    const ListLayout &m_layout;
    const Cp932Codec &m_codec;
    std::array<QByteArray, kRowStatusCount> m_statusBytes;
    // The row's code and address, kept with their room from row to row.
    QString m_code;
    QString m_address;
};

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
    const std::optional<ListLayout> layout =
        ListLayout::guess(file, request.input, request, m_codec, &report.error, &report.badColumn);
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
    RowWriter writer(layout, m_codec);
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
