#include "settings/SettingsGroup.h"

#include "core/LeadingNumber.h"
#include "settings/SettingsDocument.h"
#include "settings/SettingsLayout.h"

#include <charconv>

using namespace Qt::Literals::StringLiterals;

SettingsGroup::SettingsGroup(const SettingsDocument &document, QString name, QString text)
    : m_document(&document), m_name(std::move(name)), m_text(std::move(text))
{
}

QString SettingsGroup::keyText(const QString &key) const
{
    return m_document->elementText(m_text, key, false);
}

std::optional<QString> SettingsGroup::storedText(const QString &key) const
{
    // As the document reads a key: from the first opening tag to the first closing one.
    const QString open = u'<' + key + u'>';
    const qsizetype a = m_text.indexOf(open);
    const qsizetype q = m_text.indexOf(u"</"_s + key + u'>');
    if (a < 0 || q < a + open.size())
        return std::nullopt;
    return m_text.mid(a + open.size(), q - a - open.size());
}

void SettingsGroup::setText(const QString &key, const QString &text)
{
    const QString open = u'<' + key + u'>';
    const QString close = u"</"_s + key + u'>';
    const qsizetype a = m_text.indexOf(open);
    const qsizetype q = m_text.indexOf(close);
    if (a >= 0 && q >= a + open.size()) {
        m_text = m_text.left(a + open.size()) + text + m_text.mid(q);
        return;
    }
    // A damaged key's tags go, so that the key written now reads back: a stray tag left in front of it
    // would keep it unreadable, or read the damaged value, at every start.
    m_text.remove(open);
    m_text.remove(close);
    m_text += SettingsLayout::keyElement(key, text);
}

template <> QString SettingsGroup::value<QString>(const QString &key, const QString &fallback) const
{
    const QString t = keyText(key);
    return t.isEmpty() ? fallback : t;
}

template <> double SettingsGroup::value<double>(const QString &key, const double &fallback) const
{
    const QString t = keyText(key);
    return t.isEmpty() ? fallback : readLeadingNumber(t);
}

QString SettingsGroup::textOf(int value)
{
    return QString::number(value);
}

QString SettingsGroup::textOf(double value)
{
    // Plain decimal form, never an exponent: the files are also read by people and by earlier Windows
    // versions of the tool.
    if (value == 0)
        value = 0; // no "-0"
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return QString::number(value, 'g', 17);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}
