// The shipped directory file's loader (behind its checksum, so only damage that the checksum misses,
// or a file made by hand, gets here).
#include "address/PostalDirectory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    PostalDirectory directory;
    if (!directory.loadShipped(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))))
        return 0;
    for (qsizetype i = 0; i < directory.entryCount() && i < 8; ++i) {
        const PostalEntry e = directory.entryAt(i);
        directory.find(e.code);
        directory.findByAddress(e.prefecture.toString() + e.city.toString() + e.town.toString());
    }
    return 0;
}
