#pragma once

#include "clipboard/ClipWatch.h"
#include "lookup/AddressComponent.h"
#include "lookup/AddressRecord.h"
#include "lookup/RequestExchange.h"

#include <QWidget>
#include <array>
#include <memory>
#include <optional>

class ClipboardSource;
class MsgBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QTableWidget;
class uWeb;

// What the main window needs from outside; tests pass fakes.
struct fmMainServices {
    MsgBox *msgBox = nullptr;
    AddressComponentFactory *addressFactory = nullptr;
    ClipboardSource *clipboard = nullptr;
};

// The program's only window: nine command buttons, the one-row address grid, the browser panel and
// the status bar.
class fmMain : public QWidget {
    Q_OBJECT
public:
    static const QString kCaption;
    // Geometry of the design, in twips.
    static constexpr int kClientWidth = 16260;
    static constexpr int kClientHeight = 7485;

    explicit fmMain(const fmMainServices &services, QWidget *parent = nullptr);
    ~fmMain() override;

    // Serves one request: fills the record, shows the window modally and returns when the user has
    // accepted (true; the text then holds the answer) or cancelled or closed the window (false).
    bool ActA(QString &requestText);
    // One copied clipboard text while the map-centre prompt is open.
    void ClipEvent(const QString &clipText);
    void cmMap_Click(int index);
    // A notice from outside the window's own commands (the address data), in the first panel.
    void showStatus(const QString &text) { SetStatus(text, 0); }

    // The record as the window's fields hold it.
    AddressRecord record() const { return {PostCode, Address, Company, MapURL}; }
    // The clipboard watch; on only while the map-centre prompt is open.
    class ClipWatch &clipWatch() { return m_clipWatch; }

    // For tests and the layout: the controls.
    QPushButton *button(int index) const { return cmMap.at(size_t(index)); }
    QTableWidget *grid() const { return vAdd; }
    uWeb *web() const { return m_web; }
    QString statusText(int panel) const;
    bool isUpdating() const { return Updating; }
    bool isRequestMode() const { return RequestMode; }
    double dpi() const;

signals:
    void hidden();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildDesign();
    void placeTwips(QWidget *w, double left, double top, double width, double height);
    void Load();
    void Activate();
    void Resize();
    void QueryUnload();
    void KeyDown(int key);
    void InitAddrObj();
    void SetClipButton(bool enabled);
    void SetStatus(const QString &text, int index);
    void PutGrid();
    void GetGrid();
    void setCell(int column, const QString &text);
    void ShowMapQuery(const QString &searchText);
    void ShowPostalQuery();
    void showUrl(const QString &url);
    void gridChanged();
    void gridMapUrlActivated(int column);
    void acceptRequest();
    void copyRecord();
    void addressSearch();

    fmMainServices m_services;
    std::array<QPushButton *, 9> cmMap{};
    QTableWidget *vAdd = nullptr;
    uWeb *m_web = nullptr;
    QStatusBar *stBar = nullptr;
    std::array<QLabel *, 3> m_panels{};
    ClipWatch m_clipWatch;

    QString PostCode;
    QString Address;
    QString Company;
    QString MapURL;
    bool Updating = false;
    bool RequestMode = false;
    bool RequestAccepted = false;
    std::unique_ptr<AddressComponent> m_addressComponent;
    std::optional<RequestExchange> m_request;
    // The stored outer rectangle, in twips, waiting for the first show to be applied exactly.
    std::optional<QRect> m_storedRect;
    bool m_shownOnce = false;
    bool m_closing = false;
};
