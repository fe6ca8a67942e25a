// The postal index reader on files that pass its checks: the size and checksum in the header are set
// to fit whatever the fuzzer made, so that damage the checksum cannot see (a file made by hand, or
// altered and checksummed again) reaches the reader.
#include "address/AddressMatcher.h"
#include "address/PostalDirectory.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    namespace F = PostalIndexFormat;
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (std::size_t(bytes.size()) >= F::kHeaderBytes) {
        F::Header header;
        std::memcpy(&header, bytes.constData(), sizeof header);
        std::memcpy(header.magic, F::kMagic, sizeof header.magic);
        header.version = F::kVersion;
        header.byteOrder = F::kByteOrderMark;
        header.fileBytes = quint64(bytes.size());
        header.checksum = F::fileChecksum(header, QByteArrayView(bytes).sliced(qsizetype(F::kHeaderBytes)));
        std::memcpy(bytes.data(), &header, sizeof header);
    }
    const auto directory = PostalDirectory::open(bytes);
    if (!directory)
        return 0;
    for (qsizetype i = 0; i < directory->entryCount() && i < 8; ++i) {
        const PostalEntry e = directory->entryAt(i);
        directory->find(e.code);
        AddressMatcher::match(*directory, e.prefecture.toString() + e.city.toString() + e.town.toString());
    }
    AddressMatcher::match(*directory, u"東京都千代田区丸の内1-1");
    return 0;
}
