#include "ui/AddressSearch.h"

#include "core/AddressCompleter.h"
#include "core/MessageSink.h"
#include "ui/DialogInTheWay.h"
#include "ui/RecordGrid.h"

#include <QLabel>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kNotFound = u"対象が見つかりません"_s;
const QString kCityCodeOnly = u"町域が見つからないため市区町村の郵便番号です"_s;
const QString kLoading = u"郵便番号データを読み込んでいます…"_s;

} // namespace

AddressSearch::AddressSearch(AddressCompleterFactory *completers, MessageSink &messages, RecordGrid &grid,
                             QLabel &status, QWidget &window)
    : QObject(&window), m_completers(completers), m_messages(messages), m_grid(grid), m_status(status),
      m_window(window), m_completer(completers ? completers->createCompleter() : nullptr)
{
    if (m_completer)
        m_completers->whenReady(this, [this] { directoryReady(); });
}

AddressSearch::~AddressSearch() = default;

void AddressSearch::setStatus(const QString &text)
{
    m_status.setText(text);
}

void AddressSearch::run()
{
    if (!m_completer)
        return;
    // Waiting here for the data would freeze the window for as long as the user's own files take.
    if (!m_completers->isReady()) {
        m_pending = true;
        setStatus(kLoading);
        return;
    }
    AddressRecord r = m_grid.readRecord();
    CompletionNote note = CompletionNote::None;
    try {
        note = m_completer->complete(r);
    } catch (const std::exception &) {
        m_messages.show(u"住所検索に失敗しました"_s);
        return;
    }
    if (r.address.isEmpty()) {
        setStatus(kNotFound);
        return;
    }
    // What an earlier search said of its answer would now speak of another; a message about the data
    // itself stays.
    if (note == CompletionNote::CityCodeOnly)
        setStatus(kCityCodeOnly);
    else if (m_status.text() == kNotFound || m_status.text() == kCityCodeOnly)
        setStatus({});
    m_grid.showRecord(r);
    emit completed();
    m_grid.setCurrentCell(0, int(RecordGrid::Column::Company));
}

void AddressSearch::directoryReady()
{
    emit dataReady(m_completers->dataDate());
    if (!m_pending)
        return;
    // A dialog open meanwhile (the F8 box, a message) is the user's business first: the search would
    // open its chooser on top of it or change the grid behind it.
    if (dialogInTheWay(m_window)) {
        QTimer::singleShot(200, this, [this] { directoryReady(); });
        return;
    }
    m_pending = false;
    if (m_status.text() == kLoading)
        setStatus({});
    // A window closed meanwhile (a request answered or cancelled) asked for nothing more.
    if (m_window.isVisible())
        run();
}
