#pragma once

#include <QStringView>

// One directory line as a reader hands it on: the views live only until the sink returns.
struct PostalRecordView {
    quint32 code = 0;
    int prefecture = 0; // 1 (北海道) to 47 (沖縄県)
    QStringView city;
    QStringView town;
    QStringView street;
    QStringView note;
    QStringView business;
    QStringView kana;
    bool isBusiness = false;
};
