#include "platform/SystemFileManager.h"

#include "core/MessageSink.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include <windows.h>

#include <shlobj.h>

using namespace Qt::Literals::StringLiterals;

bool SystemFileManager::showFile(const QString &filePath, qintptr)
{
    // Explorer opens the folder with the file selected. The GUI thread has COM already: Qt's
    // platform plugin initialises OLE for drag and drop.
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(filePath));
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(reinterpret_cast<LPCWSTR>(native.utf16()));
    const bool shown = item && SUCCEEDED(SHOpenFolderAndSelectItems(item, 0, nullptr, 0));
    if (item)
        ILFree(item);
    if (!shown && m_messages)
        m_messages->show(u"エクスプローラーでフォルダーを開けませんでした\n"_s + native);
    return shown;
}

bool SystemFileManager::openDocument(const QUrl &url)
{
    const bool opened = QDesktopServices::openUrl(url);
    if (!opened && m_messages) {
        const QString shown =
            url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toDisplayString();
        m_messages->show(u"開けませんでした\n"_s + shown);
    }
    return opened;
}
