#pragma once

#include <QString>
#include <QVariant>

class MsgBox;

// The settings-and-folders object. (Minimal stand-in: reads and writes nothing yet.)
class yIni {
public:
    static yIni &Shared();
    static void ReleaseShared();

    void W_UserData(qintptr ownerWnd);
    bool GetTxt(const QString &fileName);
    bool SetTxt();
    void GetGtx(const QString &groupName);
    QVariant vGtVal(const QString &key, const QVariant &defaultValue);
    void SetVal(const QString &key, const QVariant &value);
    void SetGtx();
    QVariant W_Help(const QString &pageName);
};
