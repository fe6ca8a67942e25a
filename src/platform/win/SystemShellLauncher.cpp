#include "platform/SystemShellLauncher.h"

#include "core/MessageSink.h"

#include <windows.h>

#include <shellapi.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// ShellExecute's own error codes, each with what the user is told.
struct ShellError {
    INT_PTR code;
    const char16_t *text;
};
constexpr ShellError kErrors[] = {
    {0, u"メモリが足りないため開けませんでした"},
    {ERROR_FILE_NOT_FOUND, u"ファイルが見つかりません"},
    {ERROR_PATH_NOT_FOUND, u"フォルダが見つかりません"},
    {ERROR_BAD_FORMAT, u"実行できない形式のファイルです"},
    {SE_ERR_ACCESSDENIED, u"アクセスが拒否されました"},
    {SE_ERR_OOM, u"メモリが足りないため開けませんでした"},
    {SE_ERR_SHARE, u"ほかのプログラムが使用中のため開けませんでした"},
    {SE_ERR_ASSOCINCOMPLETE, u"このファイルの種類を開くプログラムの設定が不完全です"},
    {SE_ERR_NOASSOC, u"このファイルの種類を開くプログラムが登録されていません"},
    {SE_ERR_DDEFAIL, u"開くプログラムとの通信に失敗しました"},
    {SE_ERR_DDETIMEOUT, u"開くプログラムが応答しません"},
    {SE_ERR_DDEBUSY, u"開くプログラムが応答しません"},
    {SE_ERR_DLLNOTFOUND, u"開くのに必要なライブラリが見つかりません"},
};

// ShellExecute's convention: a result above 32 is success. A document takes no parameters and no
// working folder: both are NULL, as the documentation asks.
bool execute(const wchar_t *verb, const QString &file, qintptr ownerWindow, MessageSink *messages)
{
    const QString native = file.contains(QLatin1String("://")) ? file : QString(file).replace(u'/', u'\\');
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(reinterpret_cast<HWND>(ownerWindow), verb,
                                                                reinterpret_cast<LPCWSTR>(native.utf16()),
                                                                nullptr, nullptr, SW_SHOW));
    if (result > 32)
        return true;
    if (messages) {
        QString text = u"開けませんでした (%1)"_s.arg(result);
        for (const ShellError &error : kErrors) {
            if (error.code == result)
                text = QString::fromUtf16(error.text);
        }
        messages->show(text + u'\n' + native);
    }
    return false;
}

} // namespace

bool SystemShellLauncher::openShortcut(const QString &shortcutPath, const QString &, qintptr ownerWindow)
{
    return execute(L"open", shortcutPath, ownerWindow, m_messages);
}
