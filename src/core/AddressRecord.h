#pragma once

#include <QString>

// The one record the window works on: postal code, address, company (or other name), map URL.
struct AddressRecord {
    QString postalCode;
    QString address;
    QString company;
    QString mapUrl;

    bool operator==(const AddressRecord &) const = default;

    // The record as one tab-separated line, as it goes to the clipboard for pasting into a spreadsheet.
    QString clipboardLine() const { return postalCode + u'\t' + address + u'\t' + company + u'\t' + mapUrl; }
};
