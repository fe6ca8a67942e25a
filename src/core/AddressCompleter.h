#pragma once

#include "core/AddressRecord.h"

#include <QList>
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

// One answer the directory could give, for the user to choose among several.
struct CompletionChoice {
    // What the chooser shows: the town with its reading, or Japan Post's note of it.
    QString label;
    // The record as it becomes with this answer.
    AddressRecord record;
    CompletionNote note = CompletionNote::None;
};

// What the address search found for a record.
struct Completion {
    enum class Kind {
        // record holds the completed record; note says what to know of it.
        Found,
        // Several answers fit: choices holds each (never fewer than two); the user picks one.
        Candidates,
        // Nothing fits the fields given, or the postal code is no seven-digit code.
        NotFound,
        // The directory could not be loaded (what went wrong was said where it loads).
        Failed,
    };
    Kind kind = Kind::NotFound;
    AddressRecord record;
    CompletionNote note = CompletionNote::None;
    QList<CompletionChoice> choices;
};

// Completes a record from an address directory (the address search, F4). The postal code, the address
// and the company may be rewritten; the map URL is never touched.
class AddressCompleter {
public:
    virtual ~AddressCompleter() = default;
    virtual Completion complete(const AddressRecord &record) = 0;
};

// Makes the window's completer. A directory that cannot serve still gives one, which answers Failed.
// The directory may still be loading when completers are made, and a completer's complete() waits for
// it: a window asks isReady() first and otherwise leaves the search to whenReady(), so it never freezes.
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
