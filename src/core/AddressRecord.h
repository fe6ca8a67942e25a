#pragma once

#include <QString>

// The one record the window works on: postal code, address, company (or other name), map URL.
struct AddressRecord {
    QString postalCode;
    QString address;
    QString company;
    QString mapUrl;

    bool operator==(const AddressRecord &) const = default;

    // Whether a field holds a tab or a line break, which no tab-separated line of the record can carry.
    bool holdsFieldSeparator() const
    {
        for (const QString *field : {&postalCode, &address, &company, &mapUrl})
            if (field->contains(u'\t') || field->contains(u'\r') || field->contains(u'\n'))
                return true;
        return false;
    }

    // The record as one tab-separated line, as it goes to the clipboard for pasting into a spreadsheet.
    QString clipboardLine() const { return postalCode + u'\t' + address + u'\t' + company + u'\t' + mapUrl; }
};
