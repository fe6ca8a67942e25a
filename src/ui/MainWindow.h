#pragma once

#include "core/AddressRecord.h"
#include "ui/ClipboardWatch.h"
#include "ui/Command.h"

#include <QDate>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class AddressCompleterFactory;
class AddressSearch;
class BrowserPanel;
class CandidateChooser;
class MapCentreCapture;
class ClipboardSource;
class FileManager;
class ListRunner;
class MessageSink;
class PostalUpdateAction;
struct PostalUpdateSetup;
class QLabel;
class QPushButton;
class RecordClipboard;
class RecordGrid;
class SettingsDocument;
class SpecialFolders;
class StoredPlacement;
class WindowStatusBar;
class ShellActions;

// The program's only window: nine command buttons, the one-row record grid, the browser panel and the
// status bar.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // What the window needs from outside; tests pass fakes. Every pointer must outlive the window.
    struct Services {
        MessageSink *messages = nullptr;
        ClipboardSource *clipboard = nullptr;
        // Null: F4 stays off.
        AddressCompleterFactory *completers = nullptr;
        // Where F4 finds several answers. Null: a list dialog of the window's own.
        CandidateChooser *chooser = nullptr;
        // Read already; the window's place comes from it and goes back into it on closing. Null: the
        // window keeps its design's place and saves nothing.
        SettingsDocument *settings = nullptr;
        // Null: F10 does nothing.
        const ShellActions *shell = nullptr;
        // Null: a list dropped on the window is not taken.
        const ListRunner *lists = nullptr;
        // Null: a list's summary offers no folder to open, and a document page is not handed on.
        FileManager *fileManager = nullptr;
        // Null: a page is saved where the file dialog starts.
        const SpecialFolders *folders = nullptr;
        // Today's date, against which the data's age is told. Null: the system's clock.
        std::function<QDate()> today = nullptr;
        // Null: the postal data is not updated from the window.
        const PostalUpdateSetup *postalUpdate = nullptr;
    };

    static const QString kCaption;

    explicit MainWindow(const Services &services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Turns the window into a request's: shows the request's record, and from now on F9 asks for the
    // request to be accepted (acceptRequested) and F12 hides the window instead of closing it. The
    // request's own flow (app/RequestSession) shows the window and waits for it to be hidden.
    void serveRequest(const AddressRecord &record);
    // Shows the record's map: its map URL, else its address, else its postal code.
    void showRecordMap();
    void run(Command command);
    // A file that cannot serve as it should (damaged or refused address data, settings that will not
    // be saved): in a panel of its own, which nothing else writes, until the program ends.
    void showWarning(const QString &text);
    // Lets go of the settings (nothing more is saved), stops the clipboard watch and closes every
    // window of the program.
    void shutDown();

    AddressRecord record() const;

    QPushButton *commandButton(Command command) const;
    RecordGrid *recordGrid() const { return m_recordGrid; }
    BrowserPanel *browserPanel() const { return m_browserPanel; }
    QString statusText(int panel) const;
    double dpi() const;

signals:
    void hidden();
    // F9 in a request: the request's flow checks the record and hides the window when it takes it.
    void acceptRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createControls();
    // A text copied while the map-centre prompt is open: a map position becomes the record's map URL.
    void takeCopiedPosition(const QString &copiedText);
    // The data's date in the tooltip, and in the warning panel while the data is old.
    void setTabOrderOfTheDesign();
    void activate();
    void layOut();
    void setMinimumSizeForButtons();
    void handleFunctionKey(int key);
    void setCopyEnabled(bool enabled);
    void showUrl(const QString &url);
    void showMapQuery(const QString &searchText);
    // Whether text has something to search for on the map; says so in the status panel if not.
    bool searchable(const QString &text, const QString &what);
    void clearRecord();

    Services m_services;
    std::array<QPushButton *, kCommands.size()> m_commandButtons{};
    RecordGrid *m_recordGrid = nullptr;
    BrowserPanel *m_browserPanel = nullptr;
    WindowStatusBar *m_statusBar = nullptr;
    ClipboardWatch m_clipboardWatch;
    AddressSearch *m_addressSearch = nullptr;
    MapCentreCapture *m_mapCentreCapture = nullptr;
    PostalUpdateAction *m_postalUpdate = nullptr;
    bool m_servingRequest = false;
    std::unique_ptr<StoredPlacement> m_placement;
    std::unique_ptr<RecordClipboard> m_recordClipboard;
    bool m_shownOnce = false;
    bool m_closing = false;
};
