#include "platform/SystemCp932Codec.h"

#include <windows.h>

std::optional<QString> SystemCp932Codec::decode(const QByteArray &bytes) const
{
    if (bytes.isEmpty())
        return QString();
    const int n =
        MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.constData(), int(bytes.size()), nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    QString out(n, Qt::Uninitialized);
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.constData(), int(bytes.size()),
                        reinterpret_cast<wchar_t *>(out.data()), n);
    return out;
}

std::optional<QByteArray> SystemCp932Codec::encode(const QString &text) const
{
    if (text.isEmpty())
        return QByteArray();
    BOOL usedDefault = FALSE;
    const auto *w = reinterpret_cast<const wchar_t *>(text.utf16());
    const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, w, int(text.size()), nullptr, 0, nullptr,
                                      &usedDefault);
    if (n <= 0 || usedDefault)
        return std::nullopt;
    QByteArray out(n, Qt::Uninitialized);
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, w, int(text.size()), out.data(), n, nullptr, &usedDefault);
    if (usedDefault)
        return std::nullopt;
    return out;
}
