#pragma once

#include <QString>

// A directory line as read from one of Japan Post's files, before it joins a directory.
struct PostalRecord {
    quint32 code = 0;
    int prefecture = 0; // 1 (北海道) to 47 (沖縄県)
    QString city;
    QString town;
    QString street;
    QString note;
    QString business;
    QString kana;
    bool isBusiness = false;
};
