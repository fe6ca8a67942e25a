#pragma once

#include "settings/SettingsGroup.h"

#include <QString>

class FileSystem;
class MessageSink;

// One settings file held in memory: an XML-like document of groups of keys, read whole, edited group
// by group and written whole.
//
// The document is read by plain text search, not by an XML parser: the writer's layout is the format.
// Files written here always have it, and files in that layout written elsewhere (by earlier Windows
// versions of the tool) read back the same:
//
//   <?xml version='1.0' encoding='Shift-JIS' ?>CR LF
//   <運用>CR LF
//      <位置>CR LF
//         <TOP>1035</TOP>CR LF          (six blanks before each key, three before each group)
//      </位置>CR LF
//   </運用>
class SettingsDocument {
public:
    // messages may be null: damage then goes unreported.
    SettingsDocument(const FileSystem &files, MessageSink *messages);

    // Binds the document to a file and reads it. A missing file is created empty, and an empty file
    // reads as an empty document. False when the file cannot be read, decoded or created; the
    // document is then empty and still bound. A development build's "_DV.xml" shares the settings of
    // the file it stands for.
    bool read(const QString &filePath);
    // Writes the whole document through a temporary file; false when unbound, when the text holds a
    // character CP932 cannot store, when canSave() is false, or when the write fails (the old file
    // then stays whole).
    bool write() const;
    // False when the bound path is a link (read through, never replaced) or anything but a regular
    // file: nothing will be saved there.
    bool canSave() const;

    // The group's keys as text; empty when the group is missing. A damaged group is reported once.
    QString groupText(const QString &groupName) const;
    // Puts a group's keys back, adding the group when it is missing.
    void setGroupText(const QString &groupName, const QString &text);

    SettingsGroup group(const QString &groupName) const
    {
        return SettingsGroup(*this, groupName, groupText(groupName));
    }
    void setGroup(const SettingsGroup &group) { setGroupText(group.name(), group.text()); }

    const QString &filePath() const { return m_filePath; }
    const QString &text() const { return m_text; }

    // The root element's name and the text of an empty document.
    static const QString &rootName();
    static QString emptyDocument();

private:
    friend class SettingsGroup;
    // The text between <name> and </name> in source; empty, and reported, when the tags are damaged.
    QString elementText(const QString &source, const QString &name, bool isGroup) const;
    void reportDamage(const QString &elementName) const;

    const FileSystem &m_files;
    MessageSink *m_messages;
    QString m_filePath;
    QString m_text;
};
