#include "ui/MissingQtTexts.h"

#include <array>
#include <cstring>

namespace {

struct MissingText {
    const char *context;
    const char *source;
    const char16_t *japanese;
};

// The Qt 5 translation has these under QFileDialog, where Qt 6 no longer asks.
constexpr std::array<MissingText, 3> kMissingTexts{{
    // The type column of the file dialog's list, and its places.
    {"QAbstractFileIconProvider", "Folder", u"フォルダ"},
    {"QAbstractFileIconProvider", "File Folder", u"フォルダ"},
    {"QAbstractFileIconProvider", "Drive", u"ドライブ"},
}};

} // namespace

QString MissingQtTexts::translate(const char *context, const char *sourceText, const char *, int) const
{
    if (!context || !sourceText)
        return {};
    for (const MissingText &text : kMissingTexts) {
        if (std::strcmp(text.context, context) == 0 && std::strcmp(text.source, sourceText) == 0)
            return QString::fromUtf16(text.japanese);
    }
    return {};
}
