#pragma once

#include "core/AddressRecord.h"

#include <QTableWidget>

// The one-row grid that shows the record: 郵便番号, 住所, 会社等, MAP URL. Every keystroke in a cell
// editor reaches the grid at once, so that the record and the copy button follow the user's typing,
// and a function key pressed mid-edit sees what was typed.
class RecordGrid : public QTableWidget {
    Q_OBJECT
public:
    enum class Column { PostalCode, Address, Company, MapUrl };

    explicit RecordGrid(QWidget *parent = nullptr);

    void showRecord(const AddressRecord &record);
    AddressRecord readRecord() const;
    void setCell(Column column, const QString &text);
    QString cell(Column column) const;

signals:
    // The user changed a cell (the program's own changes are not reported).
    void edited();
    // The MAP URL cell was double-clicked while holding a URL.
    void mapUrlActivated(const QString &url);

private:
    bool m_updating = false;
};
