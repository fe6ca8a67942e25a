// Typed addresses, whatever they hold (lone surrogates, runs of kanji numerals, voicing marks,
// variation selectors), through the address search against all of Japan Post's towns: no crash, no
// hang, and folding that leaves its own result as it is, which the index's keys rely on.
#include "FuzzCheck.h"
#include "address/AddressMatcher.h"
#include "address/PostalDirectoryLoader.h"
#include "address/PostalText.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

namespace {

// Made once for the whole run from the towns file as Japan Post publishes it.
const PostalLoadResult &towns()
{
    static const PostalLoadResult loaded = [] {
        const Cp932Table codec;
        const FileSystem files(codec);
        QTemporaryDir folder;
        QFile::copy(QStringLiteral(VELMORA_JAPAN_POST_DIR "/ken_all.zip"),
                    folder.filePath(QStringLiteral("ken_all.zip")));
        return PostalDirectoryLoader::load(files, QString(), folder.path());
    }();
    return loaded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringView typed(reinterpret_cast<const char16_t *>(data), qsizetype(size / 2));
    const PostalText::Folded once = PostalText::folded(typed);
    const PostalText::Folded twice = PostalText::folded(QStringView(once.constData(), once.size()));
    FUZZ_CHECK(once.size() == twice.size() && std::equal(once.begin(), once.end(), twice.begin()));
    if (const auto &directory = towns().directory)
        AddressMatcher::match(*directory, typed);
    return 0;
}
