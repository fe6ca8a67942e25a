#pragma once

#include "core/Cp932Codec.h"

// CP932 through the platform's own conversion: iconv's CP932 on POSIX systems, the Windows code page
// 932 through MultiByteToWideChar and WideCharToMultiByte on Windows. The program reads and writes with
// core/Cp932Table, one table on every platform; this is the reference that table is tested against.
class SystemCp932Codec : public Cp932Codec {
public:
    std::optional<QString> decode(const QByteArray &bytes) const override;
    std::optional<QByteArray> encode(const QString &text) const override;
};
