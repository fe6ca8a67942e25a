// Japan Post's files in every edition, plain or in a zip archive, and the directory built from what
// they give.
#include "FuzzCheck.h"
#include "address/AddressMatcher.h"
#include "address/JapanPostReader.h"
#include "address/PostalDirectory.h"
#include "address/PostalIndexWriter.h"
#include "address/ZipEntryReader.h"
#include "core/Cp932Table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Cp932Table codec;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    // An archive's entry takes the place of the input; anything else is read as it is.
    const QByteArray bytes =
        ZipEntryReader::read(input, QStringLiteral("KEN_ALL.CSV"), 1 << 20).value_or(input);
    PostalIndexWriter writer({});
    const JapanPostReader::Sink add = [&writer](const PostalRecordView &r) { writer.add(r); };
    JapanPostReader::readKenAllUtf8(bytes, add);
    JapanPostReader::readKenAllCp932(bytes, codec, add);
    JapanPostReader::readJigyosyo(bytes, codec, add);
    const auto opened = PostalDirectory::open(writer.finish());
    FUZZ_CHECK(opened);
    const PostalDirectory &directory = *opened;
    for (qsizetype i = 0; i < directory.entryCount() && i < 8; ++i) {
        const PostalEntry e = directory.entryAt(i);
        directory.find(e.code);
        // The notes as the address search reads them: numbers, street forms, floors.
        const QString address = e.prefecture.toString() + e.city.toString() + e.town.toString();
        AddressMatcher::match(directory, address + QStringLiteral("1-1"));
        AddressMatcher::match(directory, address + e.note.toString() + QStringLiteral("上る2丁目3-4 B1 5階"));
    }
    return 0;
}
