#pragma once

#include <QString>
#include <memory>

// The outside address component that the address search (F4) calls. It completes a record in place:
// after PutAdd, Address holds the address found for the fields given, or is empty when nothing was
// found; PostCode and Company may have been rewritten too. It may throw std::exception on failure.
class AddressComponent {
public:
    virtual ~AddressComponent() = default;
    virtual void PutAdd(QString &PostCode, QString &Address, QString &Company, int mode) = 0;
};

// Creates an address component by its registered name; no value when it cannot be created.
class AddressComponentFactory {
public:
    virtual ~AddressComponentFactory() = default;
    virtual std::unique_ptr<AddressComponent> create(const QString &name) = 0;
};
