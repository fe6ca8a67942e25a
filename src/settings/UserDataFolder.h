#pragma once

#include <QString>
#include <QStringList>

class FileSystem;
class MessageSink;
class ProgramIdentity;

// The per-user data folder, as the choice file "UserData.ini" beside the executable selects it:
//
//   %usr%, %applicaion data%, any other %text   <roaming app data>/Norvane/<program>/
//   %app%                                       usData/ beside the executable
//   %doc, %my document%                         <documents>/Norvane/<program>/
//   an existing folder                          that folder, in its own letter case
//
// Keywords match in any letter case. A missing or empty choice file, or a folder that does not exist,
// is reported and the first row's folder is used.
class UserDataFolder {
public:
    struct SystemFolders {
        // In native form without a trailing separator.
        QString roamingAppData;
        QString documents;
    };

    // The folder in native form, ending with the separator; created when missing. messages may be
    // null.
    static QString resolve(const ProgramIdentity &program, const SystemFolders &systemFolders,
                           const FileSystem &files, MessageSink *messages);

    // Creates every missing level of a folder path, outermost first. A drive ("C:") or the root is
    // never created, and a level that cannot be created is passed over: the folder then fails where it
    // is used.
    static void createPath(const QString &path, const FileSystem &files);
    // Creates the named subfolders of base (ending with the separator) that are missing; stops at the
    // first that cannot be created, since the others would fail alike.
    static void createSubfolders(const QString &base, const QStringList &names, const FileSystem &files);
};
