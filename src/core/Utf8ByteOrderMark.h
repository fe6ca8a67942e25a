#pragma once

#include <QByteArrayView>

// The mark some programs (Excel, Notepad) put at the start of a UTF-8 text file.
namespace Utf8ByteOrderMark {

inline constexpr QByteArrayView kBytes{"\xEF\xBB\xBF", 3};

// bytes without the mark they may start with.
inline QByteArrayView skipped(QByteArrayView bytes)
{
    return bytes.startsWith(kBytes) ? bytes.sliced(kBytes.size()) : bytes;
}

} // namespace Utf8ByteOrderMark
