#pragma once

#include "../settings/FakeSpecialFolders.h"
#include "../shell/FakeShellLauncher.h"
#include "app/ProgramValues.h"
#include "app/fmMain.h"
#include "common/FakeClipboard.h"
#include "common/FakeMsgBox.h"
#include "common/LocalHttpServer.h"
#include "settings/yIni.h"
#include "shell/PlatformShortcutWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

// An address component whose answer the test chooses.
class FakeAddressComponent : public AddressComponent {
public:
    explicit FakeAddressComponent(std::function<void(QString &, QString &, QString &)> answer)
        : m_answer(std::move(answer))
    {
    }
    void PutAdd(QString &PostCode, QString &Address, QString &Company, int mode) override
    {
        lastMode = mode;
        ++calls;
        m_answer(PostCode, Address, Company);
    }
    int calls = 0;
    int lastMode = 0;

private:
    std::function<void(QString &, QString &, QString &)> m_answer;
};

class FakeAddressFactory : public AddressComponentFactory {
public:
    std::unique_ptr<AddressComponent> create(const QString &name) override
    {
        lastName = name;
        if (!answer)
            return nullptr;
        auto c = std::make_unique<FakeAddressComponent>(answer);
        component = c.get();
        return c;
    }
    std::function<void(QString &, QString &, QString &)> answer;
    FakeAddressComponent *component = nullptr;
    QString lastName;
};

// Starts the local map service the window's queries go to, with a plain map page.
inline bool serveMapPages(LocalHttpServer &server)
{
    if (!server.start())
        return false;
    server.addPage("/maps", "<html><body>map</body></html>");
    qputenv("VELMORA_MAP_BASE", server.base().toUtf8());
    Program::ExeBaseName = QStringLiteral("velmora");
    return true;
}

// Everything a main window needs, in a temporary folder: the program's folder with its choice file,
// the user's configuration folder, and fakes for the message box, clipboard and shell.
struct MainWindowHarness {
    QTemporaryDir dir;
    FakeMsgBox msgBox;
    FakeClipboard clipboard;
    FakeAddressFactory addresses;
    FakeSpecialFolders folders;
    FakeShellLauncher launcher;
    PlatformShortcutWriter shortcuts;

    MainWindowHarness()
    {
        QDir(dir.path()).mkpath("program");
        QDir(dir.path()).mkpath("config");
        QDir(dir.path()).mkpath("docs");
        QFile ini(programFolder() + "/UserData.ini");
        ini.open(QIODevice::WriteOnly);
        ini.write("%usr%");
        folders.set(26, dir.filePath("config"));
        folders.set(5, dir.filePath("docs"));
        yIniServices services;
        services.msgBox = &msgBox;
        services.launcher = &launcher;
        services.shortcuts = &shortcuts;
        services.folders = &folders;
        services.exePath = programFolder() + "/velmora";
        services.helpBase = QStringLiteral("file:///help/");
        yIni::ReleaseShared();
        yIni::Install(services);
    }
    ~MainWindowHarness() { yIni::ReleaseShared(); }

    QString programFolder() const { return dir.filePath("program"); }
    fmMainServices services() { return {&msgBox, &addresses, &clipboard}; }
};
