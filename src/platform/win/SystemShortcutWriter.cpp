#include "platform/SystemShortcutWriter.h"

#include "core/FileSystem.h"
#include "platform/InternetShortcut.h"
#include "platform/ShellTarget.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T> struct ComRef {
    T *p = nullptr;
    ~ComRef()
    {
        if (p)
            p->Release();
    }
};

} // namespace

QString SystemShortcutWriter::fileSuffix(const QString &target) const
{
    return ShellTarget::toUrl(target).isLocalFile() ? u".lnk"_s : u".url"_s;
}

bool SystemShortcutWriter::write(const QString &shortcutPath, const QString &target)
{
    const QUrl url = ShellTarget::toUrl(target);
    if (!url.isLocalFile())
        return m_files.writeAtomic(shortcutPath, InternetShortcut::content(url));
    // Qt's GUI thread already has COM; this only balances its own call when it does not.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool uninit = SUCCEEDED(init);
    bool ok = false;
    {
        ComRef<IShellLinkW> link;
        ComRef<IPersistFile> file;
        const QString linkTarget = url.toLocalFile().replace(u'/', u'\\');
        // SetPath answers S_FALSE for a target that does not exist (yet): the link is made all the same,
        // as Explorer makes one to a file on a drive that is not there, and the shell reports the missing
        // file when the link is opened.
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       reinterpret_cast<void **>(&link.p))) &&
            SUCCEEDED(link.p->SetPath(reinterpret_cast<LPCWSTR>(linkTarget.utf16()))) &&
            SUCCEEDED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file.p)))) {
            const QString native = QString(shortcutPath).replace(u'/', u'\\');
            ok = SUCCEEDED(file.p->Save(reinterpret_cast<LPCWSTR>(native.utf16()), TRUE));
        }
    }
    if (uninit)
        CoUninitialize();
    return ok;
}
