#pragma once

#include <QString>
#include <functional>
#include <memory>

class FileSystem;
class Fetcher;

// What the window's update of the postal data needs from outside.
struct PostalUpdateSetup {
    const FileSystem *files = nullptr;
    QString shippedPath = {};
    QString userFolder = {};
    // Loads the data anew for later searches and lists, once the user's files were replaced.
    std::function<void()> reload = nullptr;
    // Null: over the network (NetworkFetcher). Tests give a fetcher of their own.
    std::function<std::unique_ptr<Fetcher>()> fetcher = nullptr;
    // Null: a question box. Tests answer themselves.
    std::function<bool(const QString &question)> confirm = nullptr;
};
