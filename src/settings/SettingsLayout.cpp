#include "settings/SettingsLayout.h"

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kGroupIndent = u"   "_s;
const QString kKeyIndent = u"      "_s;
} // namespace

QString SettingsLayout::documentElement(const QString &rootName, const QString &content)
{
    return u"<?xml version='1.0' encoding='Shift-JIS' ?>"_s + kLineEnd + u'<' + rootName + u'>' + content +
           u"</"_s + rootName + u'>';
}

QString SettingsLayout::groupElement(const QString &name, const QString &content)
{
    return kGroupIndent + u'<' + name + u'>' + kLineEnd + content + kGroupIndent + u"</"_s + name + u'>' +
           kLineEnd;
}

QString SettingsLayout::keyElement(const QString &name, const QString &content)
{
    return kKeyIndent + u'<' + name + u'>' + content + u"</"_s + name + u'>' + kLineEnd;
}
