#include "lists/ListSummary.h"

#include <QLocale>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

const QString ListSummary::kCancelled = u"中断しました。出力ファイルは作っていません"_s;
const QString ListSummary::kNoData = u"郵便番号データが使えません"_s;

QString ListSummary::rows(const ListCompletion::Report &report)
{
    const QLocale numbers(QLocale::Japanese, QLocale::Japan);
    QStringList counts;
    for (const RowStatusText &status : kRowStatusTexts)
        if (const qint64 n = report.counts[std::size_t(status.status)])
            counts.append(QString::fromUtf16(status.summary) + u' ' + numbers.toString(n));
    return u"完了: %1 行（%2）"_s.arg(numbers.toString(report.rows), counts.join(u"、"_s));
}
