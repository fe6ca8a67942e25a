#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Windows code page 932 (windows-31j), the text encoding of request files, the choice file and the
// settings file on every platform, whatever the locale. No byte-order mark is read or written.
// The conversion itself is the platform's (iconv or MultiByteToWideChar), chosen by the build.
namespace Cp932 {

// Returns no value when the bytes are not valid CP932: such a file is refused rather than read with
// characters silently dropped or replaced.
std::optional<QString> decode(const QByteArray &bytes);

// Returns no value when the text holds a character that CP932 cannot store: writing it anyway
// would put a wrong character into a file that another program reads.
std::optional<QByteArray> encode(const QString &text);

} // namespace Cp932
