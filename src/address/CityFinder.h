#pragma once

#include "address/PostalText.h"

#include <QStringView>
#include <QVarLengthArray>
#include <vector>

// Which city an address begins with, read before its town so that a city's name is never taken for a
// town's: 宮城県塩釜市本町 is 塩竈市's 本町, not 美里町's 塩釜 followed by "市本町". The prefecture may be
// written whole (東京都), without 都, 府 or 県 (福岡北九州市), or not at all; a town or village may be
// written without its 郡 (高知県檮原町 for 高岡郡檮原町). Names are compared folded (PostalText).
class CityFinder {
public:
    // One way of reading the address: the city (its index in the directory), and where its name ends
    // in the folded text.
    struct Reading {
        quint16 city = 0;
        qsizetype end = 0;
    };
    using Readings = QVarLengthArray<Reading, 4>;

    // Room for this many cities, the directory's.
    explicit CityFinder(qsizetype cities = 0);
    // Cities are added in the directory's order, each with its prefecture (1 to 47) and its name as
    // Japan Post writes it; then the finder is ready.
    void add(quint16 city, int prefecture, QStringView name);
    void finish();

    // The readings of folded: after a prefecture written whole, the longest name of its cities there;
    // otherwise the longest name of any city at the start, and after a prefecture written without its
    // 都, 府 or 県 the longest of its cities. Several where the name is shared (府中市 in Tokyo and
    // Hiroshima, 明和町 in Gunma and Mie); none when no city is named where one may stand.
    Readings read(QStringView folded) const;
    // True when folded is the name of a city of any prefecture, written as read() reads it.
    bool isCityName(QStringView folded) const;
    // The city's prefecture and whole name, folded: how Japan Post's keys begin.
    QStringView written(quint16 city) const;

private:
    struct Name {
        quint32 hash = 0;
        quint32 offset = 0; // in m_text
        quint16 length = 0;
        quint16 city = 0;
        quint8 prefecture = 0;
    };
    // A name already in m_text.
    void addName(quint16 city, int prefecture, qsizetype offset, qsizetype length);
    // The cities (of prefecture, or any for 0) of the longest name at from, appended to out.
    void longestAt(QStringView folded, qsizetype from, int prefecture, Readings &out) const;

    std::vector<Name> m_names; // sorted by hash
    std::vector<char16_t> m_text;
    std::vector<std::pair<quint32, quint32>> m_written; // by city: offset in m_text and length
    qsizetype m_longest = 0;
    // Each prefecture's name folded, whole and short (北海道 has no short form).
    std::vector<PostalText::Folded> m_whole, m_short;
};
