#include "ui/MissingQtTexts.h"

#include <array>
#include <cstring>

namespace {

struct MissingText {
    const char *context;
    const char *source;
    const char16_t *japanese;
};

constexpr std::array<MissingText, 4> kMissingTexts{{
    // The type column of the file dialog's list, and its places: the Qt 5 translation has them under
    // QFileDialog, where Qt 6 no longer asks.
    {"QAbstractFileIconProvider", "Folder", u"フォルダ"},
    {"QAbstractFileIconProvider", "File Folder", u"フォルダ"},
    {"QAbstractFileIconProvider", "Drive", u"ドライブ"},
    // A page that asks before it is left; the web engine's translation is not installed at all.
    {"QWebEnginePage", "Are you sure you want to leave this page? Changes that you made may not be saved.",
     u"このページから移動しますか？ 入力した内容は保存されないことがあります。"},
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
