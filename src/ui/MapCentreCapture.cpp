#include "ui/MapCentreCapture.h"

#include "ui/BrowserPanel.h"
#include "ui/ClipboardWatch.h"
#include "ui/DialogWait.h"
#include "ui/MapCentreScript.h"
#include "ui/PromptDialog.h"
#include "ui/StatusPanel.h"

#include <QPointer>
#include <QWebEngineView>

using namespace Qt::Literals::StringLiterals;

namespace {

// How long F8 waits for a map page still loading before asking the page as it is.
constexpr int kMapLoadLimitMs = 30000;

} // namespace

MapCentreCapture::MapCentreCapture(BrowserPanel &panel, ClipboardWatch &watch, StatusPanel &status,
                                   QWidget &window)
    : QObject(&window), m_panel(panel), m_watch(watch), m_status(status), m_window(window),
      m_dialogWait(new DialogWait(window))
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
        m_status.say(u"地図を読み込んでいます…"_s, this);
        m_panel.requestEngine();
        return;
    }
    ask();
}

void MapCentreCapture::pageLoaded()
{
    if (!m_waiting)
        return;
    m_loadLimit.stop();
    // A dialog open meanwhile is the user's business first.
    m_dialogWait->whenClear([this] {
        m_waiting = false;
        m_status.withdraw(this);
        if (m_window.isVisible())
            ask();
    });
}

void MapCentreCapture::ask()
{
    const int asked = ++m_asked;
    m_panel.runScript(MapCentreScript::source(), [self = QPointer(this), asked](const QVariant &centre) {
        if (self && asked == self->m_asked)
            self->answered(centre);
    });
}

void MapCentreCapture::answered(const QVariant &centre)
{
    const QString text = centre.toString();
    // Only a page that tells where the map is gets a box.
    if (text.isEmpty() || !m_window.isVisible()) {
        if (text.isEmpty())
            m_status.say(u"地図の中心が見つかりません"_s, this);
        return;
    }
    // Over the map, and modal as a page's own prompt box, without a loop of its own to wait in.
    auto *box =
        new PromptDialog(u"地図の中心の位置です。Ctrl+C でコピーしてから OK を押すと MAP URL になります"_s,
                         text, m_panel.webView() ? m_panel.webView() : &m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    connect(box, &QDialog::finished, this, [this](int result) {
        m_watch.stop();
        // OK alone takes nothing: the copy is what makes the MAP URL, and silence would look like one.
        if (result == QDialog::Accepted && !m_taken)
            m_status.say(u"位置がコピーされなかったため、MAP URL は変わっていません"_s, this);
    });
    m_taken = false;
    m_status.withdraw(this);
    m_watch.start();
    box->show();
}
