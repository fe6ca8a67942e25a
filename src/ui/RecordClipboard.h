#pragma once

class ClipboardSource;
class MessageSink;
class RecordGrid;

// The record's way to and from the clipboard as a spreadsheet's row: F9 puts it there as one
// tab-separated line, Ctrl+V takes such a line into the cells from the current one. What cannot go
// either way whole (a field holding a tab, several rows, too many fields) is refused with a message.
class RecordClipboard {
public:
    // Every reference must outlive this object.
    RecordClipboard(ClipboardSource &clipboard, MessageSink &messages, RecordGrid &grid)
        : m_clipboard(clipboard), m_messages(messages), m_grid(grid)
    {
    }

    // Whether the record went to the clipboard; the user is told either way.
    bool copy();
    // Whether the grid took the clipboard's text.
    bool paste();

private:
    ClipboardSource &m_clipboard;
    MessageSink &m_messages;
    RecordGrid &m_grid;
};
