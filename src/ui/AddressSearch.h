#pragma once

#include <QObject>
#include <QString>

#include <memory>

class AddressCompleter;
class AddressCompleterFactory;
class CandidateChooser;
class DialogWait;
class MessageSink;
class QWidget;
class RecordGrid;
class StatusPanel;

// F4: completes the grid's record from the postal-code directory, asks the user to choose where
// several answers fit, and says in the status panel what it found. The directory loads in the
// background: a search asked for meanwhile says so and runs once the data is there, with the record as
// the grid then holds it, rather than freeze the window.
class AddressSearch : public QObject {
    Q_OBJECT
public:
    // No factory, or one that makes no completer: there is no search. The window is the one whose own
    // modality, a request's, is no dialog to wait for.
    AddressSearch(AddressCompleterFactory *completers, CandidateChooser &chooser, MessageSink &messages,
                  RecordGrid &grid, StatusPanel &status, QWidget &window);
    ~AddressSearch() override;

    bool isAvailable() const { return m_completer != nullptr; }
    void run();
    // Searches from now on in the data the factory loads anew; dataReady() tells its date.
    void reload();

signals:
    // The grid holds a record the search completed.
    void completed();
    // The directory is ready; the date of its data, empty when unknown.
    void dataReady(const QString &date);

private:
    void directoryReady();
    void runPending();

    AddressCompleterFactory *m_completers;
    CandidateChooser &m_chooser;
    MessageSink &m_messages;
    RecordGrid &m_grid;
    StatusPanel &m_status;
    QWidget &m_window;
    DialogWait *m_dialogWait;
    std::unique_ptr<AddressCompleter> m_completer;
    // Asked for while the directory was loading: the search runs when it is ready.
    bool m_pending = false;
};
