#pragma once

#include "core/AddressRecord.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// What the user should know of an answer found.
enum class CompletionNote {
    None,
    // The postal code is the city's, for towns the directory does not list, as the address names no
    // town the directory knows: right for such a town, but perhaps a town misspelt.
    CityCodeOnly,
};

// Completes a record from an address directory (the address search, F4). After complete(), the
// address holds the address found for the fields given, or is empty when nothing was found; the
// postal code and the company may have been rewritten too; the map URL is never touched. It may
// throw std::exception on failure.
class AddressCompleter {
public:
    virtual ~AddressCompleter() = default;
    virtual CompletionNote complete(AddressRecord &record) = 0;
};

// Makes the window's completer. A directory that cannot serve still gives one, which finds nothing
// (what is wrong is said where the data is loaded). The directory may still be loading when completers are
// made, and a completer's complete() waits for it: a window asks isReady() first and otherwise leaves the
// search to whenReady(), so it never freezes.
class AddressCompleterFactory {
public:
    virtual ~AddressCompleterFactory() = default;
    virtual std::unique_ptr<AddressCompleter> createCompleter() = 0;
    // Whether complete() answers without waiting for the directory.
    virtual bool isReady() const = 0;
    // Calls ready once the directory is ready (at once if it is), always later through context's event
    // loop, never inside this call; not at all if context is gone by then. Called on the thread that
    // made the factory.
    virtual void whenReady(QObject *context, std::function<void()> ready) = 0;
    // The date of the directory's data as "2026-05-29"; empty while loading or when unknown.
    virtual QString dataDate() const = 0;
};
