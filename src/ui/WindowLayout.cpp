#include "ui/WindowLayout.h"

#include "ui/WindowDesign.h"

#include <algorithm>

using namespace WindowDesign;

namespace {

// The 住所 column gives up at most this much: past it the grid scrolls rather than cut every address.
constexpr int kAddressMaxLoss = 2400;
// Of the map, at least this much stays in view at the minimum height.
constexpr int kMinimumBrowser = 1500;

} // namespace

WindowLayout WindowLayout::forClient(QSize client, int statusHeight)
{
    WindowLayout layout;
    const int gain = client.width() - kClient.width();
    for (size_t i = 0; i < kCommands.size(); ++i) {
        QRect button(QPoint(kCommands[i].left, kCommandButtonTop), kCommandButton);
        if (gain < 0) {
            // Evenly, edges rounded alike, so that neighbours neither overlap nor part.
            const auto scaled = [&](int x) { return int(qint64(x) * client.width() / kClient.width()); };
            button.setLeft(scaled(kCommands[i].left));
            button.setRight(scaled(kCommands[i].left + kCommandButton.width()) - 1);
        }
        layout.buttons[i] = button;
    }
    layout.addressGain = std::max(gain, -kAddressMaxLoss);
    layout.grid = kRecordGrid.adjusted(0, 0, std::max(gain, -kAddressMaxLoss), 0);
    const int top = kBrowserPanel.top();
    // A window lower than the fixed rows gives the panel no height rather than a negative one.
    layout.browserPanel = QRect(0, top, client.width(), std::max(0, client.height() - top - statusHeight));
    layout.statusBar = QRect(0, client.height() - statusHeight, client.width(), statusHeight);
    return layout;
}

QSize WindowLayout::minimumClient(int buttonWidth, int statusHeight)
{
    const int width = int(qint64(buttonWidth) * kClient.width() / kCommandButton.width()) + 1;
    return {std::min(width, kClient.width()), kBrowserPanel.top() + kMinimumBrowser + statusHeight};
}
