#include "ui/RecordClipboard.h"

#include "core/MessageSink.h"
#include "core/RowPaste.h"
#include "platform/ClipboardSource.h"
#include "ui/RecordGrid.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kClipboardBusy = u"クリップボードを使用できません\n少し待ってからもう一度お試しください"_s;

} // namespace

bool RecordClipboard::copy()
{
    const AddressRecord record = m_grid.readRecord();
    // The line's tabs are its field separators: a field holding one would land in the wrong column.
    if (record.holdsFieldSeparator()) {
        m_messages.show(
            u"タブや改行を含む項目があるためコピーできません\n項目を直してからもう一度 F9 を押してください"_s);
        return false;
    }
    if (!m_clipboard.putText(record.clipboardLine())) {
        m_messages.show(kClipboardBusy);
        return false;
    }
    m_messages.show(u"クリップボードに住所情報を貼り付けました"_s);
    return true;
}

bool RecordClipboard::paste()
{
    const std::optional<QString> text = m_clipboard.text();
    if (!text) {
        m_messages.show(kClipboardBusy);
        return false;
    }
    const int first = std::max(0, m_grid.currentColumn());
    const int room = m_grid.columnCount() - first;
    const RowPaste paste = RowPaste::of(*text, room);
    if (paste.kind != RowPaste::Kind::Fields) {
        m_messages.show(paste.refusal(room));
        return false;
    }
    m_grid.pasteFields(first, paste.fields);
    return true;
}
