#pragma once

#include <QString>

// The one record the window works on: postal code, address, company (or other name), map URL.
struct AddressRecord {
    QString PostCode;
    QString Address;
    QString Company;
    QString MapURL;

    bool operator==(const AddressRecord &) const = default;
};
