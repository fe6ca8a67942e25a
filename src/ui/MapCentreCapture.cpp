#include "ui/MapCentreCapture.h"

#include "ui/BrowserPanel.h"
#include "ui/ClipboardWatch.h"
#include "ui/DialogInTheWay.h"
#include "ui/MapCentreScript.h"

#include <QLabel>
#include <QPointer>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kMapLoading = u"地図を読み込んでいます…"_s;
// How long F8 waits for a map page still loading before asking the page as it is.
constexpr int kMapLoadLimitMs = 30000;

} // namespace

MapCentreCapture::MapCentreCapture(BrowserPanel &panel, ClipboardWatch &watch, QLabel &status,
                                   QWidget &window)
    : QObject(&window), m_panel(panel), m_watch(watch), m_status(status), m_window(window)
{
    m_loadLimit.setSingleShot(true);
    connect(&m_loadLimit, &QTimer::timeout, this, &MapCentreCapture::pageLoaded);
    connect(&m_panel, &BrowserPanel::pageLoaded, this, &MapCentreCapture::pageLoaded);
}

void MapCentreCapture::run()
{
    if (m_waiting)
        return;
    if (m_panel.isLoading()) {
        m_waiting = true;
        m_loadLimit.start(kMapLoadLimitMs);
        m_status.setText(kMapLoading);
        m_panel.requestEngine();
        return;
    }
    ask();
}

void MapCentreCapture::pageLoaded()
{
    if (!m_waiting)
        return;
    // A dialog open meanwhile is the user's business first.
    if (dialogInTheWay(m_window)) {
        QTimer::singleShot(200, this, &MapCentreCapture::pageLoaded);
        return;
    }
    m_waiting = false;
    m_loadLimit.stop();
    if (m_status.text() == kMapLoading)
        m_status.clear();
    if (m_window.isVisible())
        ask();
}

void MapCentreCapture::ask()
{
    // The prompt box the script opens runs its own loop inside setUrl: copies made while it is open
    // are taken, and the watch ends with the box. The script opens its box only when the page tells
    // where the map is.
    QPointer<MapCentreCapture> self(this);
    bool found = false;
    const QMetaObject::Connection prompted =
        connect(&m_panel, &BrowserPanel::promptShown, this, [&found] { found = true; });
    m_watch.start();
    m_panel.setUrl(MapCentreScript::url());
    if (!self)
        return;
    m_watch.stop();
    disconnect(prompted);
    if (!found)
        m_status.setText(u"地図の中心が見つかりません"_s);
}
