#pragma once

#include <QString>
#include <optional>

class SettingsDocument;

// One group of a settings document, as text, with typed access to its keys. Edits stay in the group
// until SettingsDocument::setGroup puts it back.
class SettingsGroup {
public:
    SettingsGroup(const SettingsDocument &document, QString name, QString text);

    const QString &name() const { return m_name; }
    const QString &text() const { return m_text; }

    // A key's value, or the fallback when the key is missing or empty. Numbers are read by their
    // leading number (a text without one reads 0).
    template <typename T> T value(const QString &key, const T &fallback) const;

    // Replaces a key's value, or adds the key at the end of the group. Numbers are written in plain
    // decimal form, the shortest that reads back the same.
    template <typename T> void setValue(const QString &key, const T &value) { setText(key, textOf(value)); }
    // Whether the key reads back as value; damage makes it false and is not reported.
    template <typename T> bool holds(const QString &key, const T &value) const
    {
        return storedText(key) == textOf(value);
    }

private:
    QString keyText(const QString &key) const;
    std::optional<QString> storedText(const QString &key) const;
    void setText(const QString &key, const QString &text);
    static QString textOf(const QString &value) { return value; }
    static QString textOf(int value);
    static QString textOf(double value);

    const SettingsDocument *m_document;
    QString m_name;
    QString m_text;
};

template <> QString SettingsGroup::value<QString>(const QString &key, const QString &fallback) const;
template <> double SettingsGroup::value<double>(const QString &key, const double &fallback) const;
