#pragma once

#include <QString>

// The one record the window works on: postal code, address, company (or other name), map URL.
struct AddressRecord {
    QString postalCode;
    QString address;
    QString company;
    QString mapUrl;

    bool operator==(const AddressRecord &) const = default;
};
