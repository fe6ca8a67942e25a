#include "lists/ListSummary.h"

#include <QLocale>
#include <QStringList>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

const QString ListSummary::kLookAtRows =
    u"補完・一致のほかの行は、出力の「照合結果」と「候補」の列で確かめてください。"_s;
const QString ListSummary::kCancelled = u"中断しました。出力ファイルは作っていません"_s;
const QString ListSummary::kNoData = u"郵便番号データが使えません"_s;

QString ListSummary::cancelled(bool earlierOutput)
{
    return earlierOutput ? u"中断しました。以前の出力ファイルはそのままです"_s : kCancelled;
}

QString ListSummary::notRun(bool earlierOutput)
{
    return earlierOutput ? u"処理しませんでした。以前の出力ファイルはそのままです"_s
                         : u"処理しませんでした。出力ファイルは作っていません"_s;
}

QString ListSummary::rows(const ListCompletion::Report &report)
{
    const QLocale numbers(QLocale::Japanese, QLocale::Japan);
    QStringList counts;
    for (const RowStatusText &status : kRowStatusTexts)
        if (const qint64 n = report.counts[std::size_t(status.status)])
            counts.append(QString::fromUtf16(status.summary) + u' ' + numbers.toString(n));
    return u"完了: %1 行（%2）"_s.arg(numbers.toString(report.rows), counts.join(u"、"_s));
}

QString ListSummary::text(const ListCompletion::Report &report, const QString &extra, const QString &output)
{
    return rows(report) + extra + u"\n出力: %1\n郵便番号データ: %2"_s.arg(output, report.dataDate);
}

bool ListSummary::hasRowsToLookAt(const ListCompletion::Report &report)
{
    return std::any_of(kRowStatusTexts.begin(), kRowStatusTexts.end(), [&](const RowStatusText &status) {
        return status.needsLook && report.counts[std::size_t(status.status)] > 0;
    });
}
