#include "settings/WindowPlacement.h"

#include "core/Twips.h"
#include "settings/SettingsDocument.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kGroup = u"位置"_s;

// Far more than any screen holds (about 17 m at 96 DPI), and small enough that converting it to pixels
// cannot overflow.
constexpr double kMaxTwips = 1e6;

// A number no screen can hold counts as missing, like an empty key.
int twipsFrom(double v)
{
    if (!std::isfinite(v) || std::abs(v) > kMaxTwips)
        return 0;
    return int(std::nearbyint(v)); // the default rounding mode sends halves to the even neighbour
}
} // namespace

WindowPlacement WindowPlacement::readFrom(const SettingsDocument &settings)
{
    const SettingsGroup group = settings.group(kGroup);
    const auto read = [&group](const QString &key) { return twipsFrom(group.value<double>(key, 0)); };
    WindowPlacement placement;
    placement.top = read(u"TOP"_s);
    placement.left = read(u"LEFT"_s);
    placement.width = read(u"WIDTH"_s);
    placement.height = read(u"HEIGHT"_s);
    return placement;
}

void WindowPlacement::writeTo(SettingsDocument &settings) const
{
    const QStringList keys{u"TOP"_s, u"LEFT"_s, u"WIDTH"_s, u"HEIGHT"_s};
    const int values[] = {top, left, width, height};
    const auto fill = [&](SettingsGroup group) {
        for (qsizetype i = 0; i < keys.size(); ++i)
            group.setValue(keys[i], values[i]);
        return group;
    };
    SettingsGroup group = fill(settings.group(kGroup));
    // Keys damaged in ways that one key's text swallows another's cannot be mended key by key: the
    // group is then written anew, so that the next start finds the place.
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (!group.holds(keys[i], values[i])) {
            group = fill(SettingsGroup(settings, kGroup, QString()));
            break;
        }
    }
    settings.setGroup(group);
}

WindowPlacement WindowPlacement::fromPixels(const QRect &outer, double logicalDpi)
{
    WindowPlacement placement;
    placement.left = std::max(0, Twips::fromPixels(outer.x(), logicalDpi));
    placement.top = std::max(0, Twips::fromPixels(outer.y(), logicalDpi));
    placement.width = Twips::fromPixels(outer.width(), logicalDpi);
    placement.height = Twips::fromPixels(outer.height(), logicalDpi);
    return placement;
}

QRect WindowPlacement::toPixels(double logicalDpi) const
{
    return QRect(Twips::toPixels(left, logicalDpi), Twips::toPixels(top, logicalDpi),
                 Twips::toPixels(width, logicalDpi), Twips::toPixels(height, logicalDpi));
}
