#pragma once

#include "settings/yIniServices.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class MsgBox;

// The settings-and-folders object: the per-user data folder, one XML-like settings file held in
// memory and edited group by group, and the shell operations (help page, shortcuts, folders).
//
// The settings file is read by plain text search, not by an XML parser: the writer's layout is the
// format. Files this object writes always have it, and files in that layout written elsewhere (by
// earlier Windows versions) read back the same.
class yIni {
public:
    // The services every instance made by Shared() (or by the default constructor) uses. Installed
    // once by main.cpp, and by tests before first use.
    static void Install(const yIniServices &services);
    static const yIniServices &InstalledServices();
    // The real platform pieces, for main.cpp: yIni::Install(yIni::defaultServices(msgBox)). They
    // need the GUI layer (velmora_widgets), where this is defined; msgBox must outlive every use.
    static yIniServices defaultServices(MsgBox &msgBox);

    // The program's one instance, created on first use. ReleaseShared drops it; a later Shared()
    // makes a fresh instance bound to no file, whose SetTxt writes nothing.
    static yIni &Shared();
    static void ReleaseShared();

    yIni();
    explicit yIni(const yIniServices &services);

    // User data folder.
    void W_UserData(qintptr ownerWnd);
    QString FsGtSpFld(int id);
    void F_CreateFld(const QString &path);
    void F_ChkSb(const QString &base, const QStringList &names);

    // The settings file as a whole.
    bool GetTxt(const QString &fileName);
    bool SetTxt();

    // One group at a time.
    void GetGtx(const QString &groupName);
    QVariant vGtVal(const QString &key, const QVariant &defaultValue);
    void SetVal(const QString &key, const QVariant &value);
    void SetGtx();

    // Shell operations.
    QVariant W_Help(const QString &pageName);
    QVariant W_HtmView(const QString &target);
    void W_SendTo();
    void W_ExpFd(const QString &folder, bool open);

    const QString &filePath() const { return FilePath; }
    const QString &docText() const { return DocText; }
    const QString &groupName() const { return GroupName; }
    const QString &groupText() const { return GroupText; }
    qintptr ownerWnd() const { return OwnerWnd; }

    // The program's folder, ending with the separator, and the program's path as it is recorded
    // and linked: named after ExeBaseName, with the executable's own extension.
    QString ProgramFolder() const;
    QString ProgramPath() const;

    // The root element's name and the text of an empty document.
    static const QString &RootName();
    static QString Skeleton();

private:
    QString ReadElement(int level, const QString &name);
    static QString BuildElement(int level, const QString &name, const QVariant &content);
    void showMessage(const QString &text) const;

    yIniServices m_services;
    qintptr OwnerWnd = 0;
    QString FilePath;
    QString DocText;
    QString GroupName;
    QString GroupText;
};
