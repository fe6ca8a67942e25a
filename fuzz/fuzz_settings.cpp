// The settings file: read whatever it holds, write the window's place and read again. The place must
// come back as written, without a report of damage: a damaged file heals on the first save.
#include "FuzzCheck.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "core/MessageSink.h"
#include "settings/SettingsDocument.h"
#include "settings/WindowPlacement.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

struct CountingMessages : MessageSink {
    void show(const QString &) override { ++count; }
    int count = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir dir;
    static const Cp932Table codec;
    static const FileSystem files(codec);
    const QString path = dir.filePath(QStringLiteral("User.xml"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            return 0;
    }
    CountingMessages messages;
    SettingsDocument settings(files, &messages);
    if (!settings.read(path))
        return 0;
    WindowPlacement::readFrom(settings);
    const WindowPlacement placed{1035, 2040, 9600, 7200};
    placed.writeTo(settings);
    if (!settings.write())
        return 0; // text CP932 cannot store is not written
    SettingsDocument again(files, &messages);
    FUZZ_CHECK(again.read(path));
    messages.count = 0;
    const WindowPlacement read = WindowPlacement::readFrom(again);
    FUZZ_CHECK(messages.count == 0);
    FUZZ_CHECK(read.top == placed.top && read.left == placed.left && read.width == placed.width &&
               read.height == placed.height);
    return 0;
}
