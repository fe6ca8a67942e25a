#pragma once

#include "core/AddressRecord.h"

#include <memory>

// Whether a completer may ask the user to choose among several answers, or takes the first.
enum class CompletionMode { AskUser, TakeFirst };

// Completes a record from an address directory (the address search, F4). After complete(), the
// address holds the address found for the fields given, or is empty when nothing was found; the
// postal code and the company may have been rewritten too; the map URL is never touched. It may
// throw std::exception on failure.
class AddressCompleter {
public:
    virtual ~AddressCompleter() = default;
    virtual void complete(AddressRecord &record, CompletionMode mode) = 0;
};

// Makes the window's completer; no completer when the directory cannot serve (F4 then stays off).
class AddressCompleterFactory {
public:
    virtual ~AddressCompleterFactory() = default;
    virtual std::unique_ptr<AddressCompleter> createCompleter() = 0;
};
