#pragma once

#include <QObject>
#include <QTimer>

class BrowserPanel;
class ClipboardWatch;
class DialogWait;
class StatusPanel;
class QVariant;
class QWidget;

// F8: asks the map page shown for its centre and shows it in a prompt box, selected so that Ctrl+C
// copies it; a copy made while the box is open goes to the clipboard watch, which runs only then. A
// page still loading has no map to ask yet, and its script may not have run: asking now would say
// there is no map centre, so it is asked once it has loaded, the window staying usable meanwhile.
class MapCentreCapture : public QObject {
    Q_OBJECT
public:
    // The status panel is the window's first; the window is the one whose own modality, a request's,
    // is no dialog to wait for.
    MapCentreCapture(BrowserPanel &panel, ClipboardWatch &watch, StatusPanel &status, QWidget &window);

    void run();
    // The clipboard brought a map position while the box was open: the record has its map URL.
    void taken() { m_taken = true; }

private:
    void pageLoaded();
    void ask();
    void answered(const QVariant &centre);

    BrowserPanel &m_panel;
    ClipboardWatch &m_watch;
    StatusPanel &m_status;
    QWidget &m_window;
    DialogWait *m_dialogWait;
    // F8 was pressed while the map page was loading: the page is asked once it has loaded, or when this
    // timer runs out.
    bool m_waiting = false;
    bool m_taken = false;
    QTimer m_loadLimit;
    // Each question gets a number: only the last one's answer opens a box.
    int m_asked = 0;
};
