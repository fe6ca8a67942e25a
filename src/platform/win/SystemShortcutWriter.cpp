#include "platform/SystemShortcutWriter.h"

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

QString SystemShortcutWriter::fileSuffix() const
{
    return u".lnk"_s;
}

bool SystemShortcutWriter::write(const QString &shortcutPath, const QString &target)
{
    // Qt's GUI thread already has COM; this only balances its own call when it does not.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool uninit = SUCCEEDED(init);
    bool ok = false;
    {
        ComRef<IShellLinkW> link;
        ComRef<IPersistFile> file;
        // A file URL becomes its local path: a shell link to a path opens it with its handler.
        const QUrl url = ShellTarget::toUrl(target);
        const QString linkTarget = url.isLocalFile() ? url.toLocalFile().replace(u'/', u'\\') : target;
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
