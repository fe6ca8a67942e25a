#include "ui/AddressSearch.h"

#include "address/BackgroundPostalLoader.h"
#include "core/AddressCompleter.h"
#include "core/MessageSink.h"
#include "ui/CandidateChooser.h"
#include "ui/DialogWait.h"
#include "ui/RecordGrid.h"
#include "ui/StatusPanel.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kNotFound = u"対象が見つかりません"_s;
const QString kCityCodeOnly = u"町域が見つからないため市区町村の郵便番号です"_s;
const QString kChoiceCancelled = u"候補の選択を取り消しました"_s;
const QString kAddressReplaced = u"住所を郵便番号の住所に置き換えました"_s;

} // namespace

AddressSearch::AddressSearch(AddressCompleterFactory *completers, CandidateChooser &chooser,
                             MessageSink &messages, RecordGrid &grid, StatusPanel &status, QWidget &window)
    : QObject(&window), m_completers(completers), m_chooser(chooser), m_messages(messages), m_grid(grid),
      m_status(status), m_window(window), m_dialogWait(new DialogWait(window)),
      m_completer(completers ? completers->createCompleter() : nullptr)
{
    if (m_completer)
        m_completers->whenReady(this, [this] { directoryReady(); });
}

AddressSearch::~AddressSearch() = default;

void AddressSearch::run()
{
    if (!m_completer)
        return;
    // Waiting here for the data would freeze the window for as long as the user's own files take.
    if (!m_completers->isReady()) {
        m_pending = true;
        m_status.say(BackgroundPostalLoader::kLoading, this);
        return;
    }
    const AddressRecord typed = m_grid.readRecord();
    Completion answer = m_completer->complete(typed);
    if (answer.kind == Completion::Kind::Candidates) {
        QStringList labels;
        for (const CompletionChoice &choice : std::as_const(answer.choices))
            labels.append(choice.label);
        const std::optional<qsizetype> chosen = m_chooser.choose(labels);
        if (!chosen || *chosen >= answer.choices.size()) {
            m_status.say(kChoiceCancelled, this);
            return;
        }
        answer.record = answer.choices[*chosen].record;
        answer.note = answer.choices[*chosen].note;
    }
    switch (answer.kind) {
    case Completion::Kind::Failed:
        m_status.withdraw(this);
        m_messages.show(u"住所検索に失敗しました"_s);
        return;
    case Completion::Kind::NotFound:
        m_status.say(kNotFound, this);
        return;
    case Completion::Kind::Found:
    case Completion::Kind::Candidates:
        break;
    }
    // What an earlier search said of its answer would now speak of another. A typed address the code
    // overruled is the user's work gone: said, so that it is not lost unseen.
    if (answer.note == CompletionNote::CityCodeOnly)
        m_status.say(kCityCodeOnly, this);
    else if (!typed.address.trimmed().isEmpty() && answer.record.address != typed.address)
        m_status.say(kAddressReplaced, this);
    else
        m_status.withdraw(this);
    m_grid.showRecord(answer.record);
    emit completed();
    m_grid.setCurrentCell(0, int(RecordGrid::Column::Company));
}

void AddressSearch::reload()
{
    if (!m_completer)
        return;
    m_completer = m_completers->createCompleter();
    m_completers->whenReady(this, [this] { directoryReady(); });
}

void AddressSearch::directoryReady()
{
    emit dataReady(m_completers->dataDate());
    if (!m_pending)
        return;
    // A dialog open meanwhile (the F8 box, a message) is the user's business first: the search would
    // open its chooser on top of it or change the grid behind it.
    m_dialogWait->whenClear([this] { runPending(); });
}

void AddressSearch::runPending()
{
    m_pending = false;
    m_status.withdraw(this);
    // A window closed meanwhile (a request answered or cancelled) asked for nothing more.
    if (m_window.isVisible())
        run();
}
