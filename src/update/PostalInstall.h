#pragma once

#include <QByteArray>
#include <QString>

class FileSystem;

// Japan Post's two files as downloaded, checked against the data in use and, when sound, put in place
// of the user's own in the user data folder; the index is built from them then, as at a start.
class PostalInstall {
public:
    struct Download {
        QByteArray towns;      // utf_ken_all.zip
        QByteArray businesses; // jigyosyo.zip
    };
    struct Outcome {
        bool installed = false;
        // What was done, or why nothing was, in Japanese.
        QString text;
    };

    static const QString kTownsFile;
    static const QString kBusinessesFile;
    // A month changes a few hundred of Japan Post's records; a file far smaller or larger than the data
    // in use is a server's error page, a cut file or a foreign one, whatever its form.
    static constexpr double kFewestShare = 0.95;
    static constexpr double kMostShare = 1.25;

    // Reads and builds for seconds: for a worker thread. Everything is left as it was unless installed.
    static Outcome run(const FileSystem &files, const QString &shippedPath, const QString &userFolder,
                       const Download &download);
};
