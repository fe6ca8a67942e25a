#include "platform/SystemCp932Codec.h"

#include <cerrno>
#include <iconv.h>

namespace {

// Runs one whole conversion; any invalid or incomplete sequence fails it.
std::optional<QByteArray> convert(const char *to, const char *from, const char *in, size_t inLen,
                                  size_t outFactor)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    QByteArray out(static_cast<qsizetype>(inLen * outFactor + 8), Qt::Uninitialized);
    char *inPtr = const_cast<char *>(in);
    size_t inLeft = inLen;
    char *outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    const size_t rc = iconv(cd, inLen ? &inPtr : nullptr, &inLeft, &outPtr, &outLeft);
    bool ok = rc != static_cast<size_t>(-1) && inLeft == 0;
    // Flush any shift state; CP932 has none, but a stateless flush is harmless.
    if (ok && iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1))
        ok = false;
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.truncate(static_cast<qsizetype>(out.size() - static_cast<qsizetype>(outLeft)));
    return out;
}

} // namespace

std::optional<QString> SystemCp932Codec::decode(const QByteArray &bytes) const
{
    if (bytes.isEmpty())
        return QString();
    // One CP932 byte never gives more than one UTF-16 code unit.
    auto utf16 = convert("UTF-16LE", "CP932", bytes.constData(), static_cast<size_t>(bytes.size()), 2);
    if (!utf16)
        return std::nullopt;
    return QString(reinterpret_cast<const QChar *>(utf16->constData()), utf16->size() / 2);
}

std::optional<QByteArray> SystemCp932Codec::encode(const QString &text) const
{
    if (text.isEmpty())
        return QByteArray();
    // Two bytes per code unit is the most CP932 needs.
    auto bytes = convert("CP932", "UTF-16LE", reinterpret_cast<const char *>(text.utf16()),
                         static_cast<size_t>(text.size()) * 2, 1);
    // glibc also maps a few characters one way only ("¢" to the bytes of "￠"); such a character would
    // come back as another one, so it counts as one CP932 cannot hold, as on Windows.
    if (bytes && decode(*bytes) != text)
        return std::nullopt;
    return bytes;
}
