#pragma once

// The yardsticks' window: a one-row table that takes a typed code and answers F4 with the address, as
// the program's grid does, but with nothing behind it.
#include <QKeySequence>
#include <QShortcut>
#include <QTableWidget>

inline QTableWidget *makeBareTable(QWidget *parent = nullptr)
{
    auto *table = new QTableWidget(1, 4, parent);
    table->setHorizontalHeaderLabels({QStringLiteral("郵便番号"), QStringLiteral("住所"),
                                      QStringLiteral("会社等"), QStringLiteral("MAP URL")});
    table->setColumnWidth(1, 240);
    table->setCurrentCell(0, 0);
    table->setFocus();
    auto *search = new QShortcut(QKeySequence(Qt::Key_F4), table);
    QObject::connect(search, &QShortcut::activated, table, [table] {
        table->setItem(0, 1, new QTableWidgetItem(QStringLiteral("東京都千代田区千代田")));
    });
    return table;
}
