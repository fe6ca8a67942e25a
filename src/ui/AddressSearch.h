#pragma once

#include <QObject>
#include <QString>

#include <memory>

class AddressCompleter;
class AddressCompleterFactory;
class MessageSink;
class QLabel;
class QWidget;
class RecordGrid;

// F4: completes the grid's record from the postal-code directory and says in the status panel what it
// found. The directory loads in the background: a search asked for meanwhile says so and runs once the
// data is there, with the record as the grid then holds it, rather than freeze the window.
class AddressSearch : public QObject {
    Q_OBJECT
public:
    // No factory, or one that makes no completer: there is no search. The window is the one whose own
    // modality, a request's, is no dialog to wait for.
    AddressSearch(AddressCompleterFactory *completers, MessageSink &messages, RecordGrid &grid,
                  QLabel &status, QWidget &window);
    ~AddressSearch() override;

    bool isAvailable() const { return m_completer != nullptr; }
    void run();

signals:
    // The grid holds a record the search completed.
    void completed();
    // The directory is ready; the date of its data, empty when unknown.
    void dataReady(const QString &date);

private:
    void directoryReady();
    void setStatus(const QString &text);

    AddressCompleterFactory *m_completers;
    MessageSink &m_messages;
    RecordGrid &m_grid;
    QLabel &m_status;
    QWidget &m_window;
    std::unique_ptr<AddressCompleter> m_completer;
    // Asked for while the directory was loading: the search runs when it is ready.
    bool m_pending = false;
};
