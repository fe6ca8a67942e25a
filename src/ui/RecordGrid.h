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
    // A paste's fields from column first on, as the user's edit; a single field goes into an open
    // editor where its cursor is.
    void pasteFields(int first, const QStringList &fields);
    // The 住所 column that much wider (narrower, when negative) than designed.
    void setAddressGain(int pixels);

signals:
    // The user changed a cell (the program's own changes are not reported).
    void edited();
    // The MAP URL cell was double-clicked while holding a URL.
    void mapUrlActivated(const QString &url);
    // The user asked to paste (Ctrl+V, Shift+Insert), in a cell or its editor: what the clipboard
    // holds may be a whole row of a spreadsheet, which the window decides on.
    void pasteRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_updating = false;
    int m_addressWidth = 0;
};
