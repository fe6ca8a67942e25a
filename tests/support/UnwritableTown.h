#pragma once

#include "address/Prefectures.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// Japan Post's towns file, as the user may put it in the user data folder, whose town at 999-0001
// (北海道市𠮷町) holds a kanji CP932 cannot store: a CP932 list cannot take that address. A line for
// each prefecture besides, as a towns file must cover the whole country.
inline bool writeUnwritableTown(const QString &folder)
{
    const auto line = [](const char *code, QStringView prefecture, const char *town) {
        return "01101,\"999  \",\"" + QByteArray(code) + "\",\"ｹﾝ\",\"ｼ\",\"ﾏﾁ\",\"" + prefecture.toUtf8() +
               "\",\"市\",\"" + town + "\",0,0,0,0,0,0\r\n";
    };
    QByteArray lines = line("9990001", u"北海道", "\xF0\xA0\xAE\xB7町");
    for (int p = 1; p <= Prefectures::kCount; ++p)
        lines += line("0000000", Prefectures::name(p), "町");
    QFile file(folder + QStringLiteral("/utf_ken_all.csv"));
    return file.open(QIODevice::WriteOnly) && file.write(lines) == lines.size();
}
