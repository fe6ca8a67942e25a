#pragma once

#include "core/Cp932Codec.h"

// CP932 through the platform's own conversion: iconv's CP932 on POSIX systems, the Windows code page
// 932 through MultiByteToWideChar and WideCharToMultiByte on Windows.
class SystemCp932Codec : public Cp932Codec {
public:
    std::optional<QString> decode(const QByteArray &bytes) const override;
    std::optional<QByteArray> encode(const QString &text) const override;
};
