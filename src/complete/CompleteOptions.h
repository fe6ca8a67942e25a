#pragma once

#include "lists/ListCompletion.h"

#include <QStringList>
#include <optional>

// The command line of velmora-complete.
struct CompleteOptions {
    ListCompletion::Request request;
    bool help = false;
    // --update-data: Japan Post's current files fetched in place of a list.
    bool updateData = false;

    // No value for a command line that cannot be followed; error then says why, in Japanese.
    static std::optional<CompleteOptions> parse(const QStringList &arguments, QString *error);
    static QString usage();
};
