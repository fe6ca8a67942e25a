#include "settings/SettingsGroup.h"

#include "core/LeadingNumber.h"
#include "settings/SettingsDocument.h"
#include "settings/SettingsLayout.h"

#include <QLocale>
#include <charconv>

using namespace Qt::Literals::StringLiterals;

namespace {

// The form setValue writes first, then the user's own locale, short and long.
QDateTime readDateTime(const QString &text)
{
    const QString t = text.trimmed();
    QDateTime result = QDateTime::fromString(t, Qt::ISODate);
    const QLocale locale = QLocale::system();
    for (auto format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        if (result.isValid())
            break;
        result = locale.toDateTime(t, format);
        if (!result.isValid()) {
            const QDate date = locale.toDate(t, format);
            if (date.isValid())
                result = date.startOfDay();
        }
    }
    if (!result.isValid()) {
        const QDate date = QDate::fromString(t, Qt::ISODate);
        if (date.isValid())
            result = date.startOfDay();
    }
    return result;
}

} // namespace

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

template <> bool SettingsGroup::value<bool>(const QString &key, const bool &fallback) const
{
    const QString t = keyText(key).trimmed();
    if (t.compare(u"true"_s, Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(u"false"_s, Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = QLocale::c().toDouble(t, &ok);
    // Anything else keeps the fallback: a guess would be worse than the value the caller chose.
    return ok ? number != 0 : fallback;
}

template <> double SettingsGroup::value<double>(const QString &key, const double &fallback) const
{
    const QString t = keyText(key);
    return t.isEmpty() ? fallback : readLeadingNumber(t);
}

template <> QDateTime SettingsGroup::value<QDateTime>(const QString &key, const QDateTime &fallback) const
{
    const QDateTime when = readDateTime(keyText(key));
    return when.isValid() ? when : fallback;
}

template <> QDate SettingsGroup::value<QDate>(const QString &key, const QDate &fallback) const
{
    const QDateTime when = readDateTime(keyText(key));
    return when.isValid() ? when.date() : fallback;
}

QString SettingsGroup::textOf(bool value)
{
    return value ? u"true"_s : u"false"_s;
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

QString SettingsGroup::textOf(const QDate &value)
{
    return value.toString(Qt::ISODate);
}

QString SettingsGroup::textOf(const QDateTime &value)
{
    return value.toString(Qt::ISODate);
}
