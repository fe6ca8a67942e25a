#include "settings/SettingsDocument.h"

#include "core/FileSystem.h"
#include "core/MessageSink.h"
#include "settings/SettingsLayout.h"

using namespace Qt::Literals::StringLiterals;
using SettingsLayout::isLineBreak;

namespace {

// Group and root tags stand alone on their lines in the writer's layout. Looking only at such tags
// keeps a key that happens to share a later group's name from being taken for that group, which would
// read the wrong values and, on writing, cut the group's text into the middle of that key.
qsizetype findLineTag(const QString &text, const QString &tag, qsizetype from = 0)
{
    for (qsizetype at = text.indexOf(tag, from); at >= 0; at = text.indexOf(tag, at + 1)) {
        qsizetype before = at;
        while (before > 0 && (text[before - 1] == u' ' || text[before - 1] == u'\t'))
            --before;
        const qsizetype after = at + tag.size();
        if ((before == 0 || isLineBreak(text[before - 1])) &&
            (after == text.size() || isLineBreak(text[after])))
            return at;
    }
    return -1;
}

// The first character after an opening tag's line break (CR LF as written, or a lone LF or CR: a tag
// counts as standing on its line before either, so both must be stepped over alike).
qsizetype afterLineBreak(const QString &text, qsizetype at)
{
    if (at + 1 < text.size() && text[at] == u'\r' && text[at + 1] == u'\n')
        return at + 2;
    if (at < text.size() && isLineBreak(text[at]))
        return at + 1;
    return at;
}

// Where the indentation in front of a closing tag begins, not going back before floor.
qsizetype indentStart(const QString &text, qsizetype tag, qsizetype floor)
{
    while (tag > floor && (text[tag - 1] == u' ' || text[tag - 1] == u'\t'))
        --tag;
    return tag;
}

// Removes the line that holds the tag at position at, with its indentation and line break.
void removeTagLine(QString &text, qsizetype at, qsizetype tagSize)
{
    const qsizetype from = indentStart(text, at, 0);
    text.remove(from, afterLineBreak(text, at + tagSize) - from);
}

// A group's tags count when the first opening tag is followed by a closing one; every other tag of
// the group is damage. Left in place, it would make the group unreadable at every start however often
// the group is written, so it goes.
void removeStrayGroupTags(QString &text, const QString &open, const QString &close)
{
    while (true) {
        const qsizetype p = findLineTag(text, open);
        const qsizetype q = p >= 0 ? findLineTag(text, close, p) : -1;
        qsizetype stray = p >= 0 && q < 0 ? p : -1;
        qsizetype size = open.size();
        for (qsizetype at = findLineTag(text, open); stray < 0 && at >= 0;
             at = findLineTag(text, open, at + 1))
            stray = at != p ? at : -1;
        for (qsizetype at = findLineTag(text, close); stray < 0 && at >= 0;
             at = findLineTag(text, close, at + 1))
            if (at != q) {
                stray = at;
                size = close.size();
            }
        if (stray < 0)
            break;
        removeTagLine(text, stray, size);
    }
    // A text that starts with a line break reads as empty: the first line may not go that way.
    while (!text.isEmpty() && isLineBreak(text.front()))
        text.remove(0, 1);
}

} // namespace

SettingsDocument::SettingsDocument(const FileSystem &files, MessageSink *messages)
    : m_files(files), m_messages(messages)
{
}

const QString &SettingsDocument::rootName()
{
    static const QString name = u"運用"_s;
    return name;
}

QString SettingsDocument::emptyDocument()
{
    return SettingsLayout::documentElement(rootName(), SettingsLayout::kLineEnd);
}

bool SettingsDocument::read(const QString &filePath)
{
    m_text.clear();
    m_filePath = filePath;
    const qsizetype dv = m_filePath.indexOf(u"_DV.xml"_s, 0, Qt::CaseInsensitive);
    if (dv >= 0)
        m_filePath.replace(dv, 7, u".xml"_s);

    if (m_files.fileExists(m_filePath)) {
        const auto text = m_files.readText(m_filePath);
        if (!text)
            return false;
        if (!text->isEmpty() && !isLineBreak(text->front()))
            m_text = *text;
    } else if (!m_files.createEmptyFile(m_filePath)) {
        return false;
    }
    if (m_text.isEmpty())
        m_text = emptyDocument();
    return true;
}

bool SettingsDocument::write() const
{
    if (m_filePath.isEmpty())
        return false;
    return m_files.writeText(m_filePath, m_text);
}

bool SettingsDocument::canSave() const
{
    return !m_filePath.isEmpty() && m_files.canReplace(m_filePath);
}

void SettingsDocument::reportDamage(const QString &elementName) const
{
    if (m_messages)
        m_messages->show(u'<' + elementName + u"> の設定が読み込めません\nﾕｰｻﾞｰ環境ﾌｧｲﾙ("_s + m_filePath +
                         u") が破損しています"_s);
}

QString SettingsDocument::elementText(const QString &source, const QString &name, bool isGroup) const
{
    if (source.isEmpty())
        return {};
    const QString open = u'<' + name + u'>';
    const QString close = u"</"_s + name + u'>';
    const qsizetype p1 = isGroup ? findLineTag(source, open) : source.indexOf(open);
    const qsizetype p2 = isGroup ? findLineTag(source, close) : source.indexOf(close);
    if (p1 < 0 && p2 < 0)
        return {};
    if (p1 >= 0 && p2 >= 0 && p1 <= p2) {
        const qsizetype start = p1 + open.size();
        if (!isGroup)
            return source.mid(start, p2 - start);
        // A group's keys start after the line break that ends its opening tag and stop before the
        // indentation of its closing tag. In the writer's layout that is CR LF and three spaces;
        // measuring them instead of counting keeps LF files and other indentation readable, and tags
        // closer together than the layout allows simply hold no keys.
        const qsizetype first = afterLineBreak(source, start);
        return source.mid(first, indentStart(source, p2, first) - first);
    }
    reportDamage(name);
    return {};
}

QString SettingsDocument::groupText(const QString &groupName) const
{
    return elementText(m_text, groupName, true);
}

void SettingsDocument::setGroupText(const QString &groupName, const QString &text)
{
    if (m_text.isEmpty())
        m_text = emptyDocument();
    // A nameless element would never be read.
    if (groupName.isEmpty())
        return;
    const QString open = u'<' + groupName + u'>';
    removeStrayGroupTags(m_text, open, u"</"_s + groupName + u'>');
    if (m_text.isEmpty())
        m_text = emptyDocument();
    // The keys' text may carry the group's own tags, from a damaged file, that a rewrite has set on
    // lines of their own: taken in, they would end the group early at the next read and lose its keys.
    QString keys = text;
    for (const QString &tag : {open, u"</"_s + groupName + u'>'})
        for (qsizetype at = findLineTag(keys, tag); at >= 0; at = findLineTag(keys, tag))
            removeTagLine(keys, at, tag.size());
    const qsizetype p = findLineTag(m_text, open);
    if (p >= 0) {
        // Keep everything up to the line break that ends the opening tag, and from the closing tag's
        // indentation on: exactly the part groupText() did not take.
        const qsizetype b = afterLineBreak(m_text, p + open.size());
        const qsizetype q = findLineTag(m_text, u"</"_s + groupName + u'>', b);
        if (q >= b) {
            m_text = m_text.left(b) + keys + m_text.mid(indentStart(m_text, q, b));
            return;
        }
    }
    const QString group = SettingsLayout::groupElement(groupName, keys);
    const qsizetype r = findLineTag(m_text, u"</"_s + rootName() + u'>');
    if (r >= 0) {
        m_text = m_text.left(r) + group + m_text.mid(r);
        return;
    }
    // A text without the root's closing tag (damaged, or not ours): the group goes last and the
    // document is closed again, so that the next read finds it.
    if (!m_text.endsWith(u'\n'))
        m_text += SettingsLayout::kLineEnd;
    m_text += group + u"</"_s + rootName() + u'>';
}
