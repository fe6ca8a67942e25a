#include "ui/MainWindow.h"

#include "core/MapPosition.h"
#include "core/MapQuery.h"
#include "core/MessageSink.h"
#include "core/Twips.h"
#include "platform/ClipboardSource.h"
#include "platform/ShellActions.h"
#include "settings/SettingsDocument.h"
#include "ui/AddressSearch.h"
#include "ui/BrowserPanel.h"
#include "ui/BrowserRules.h"
#include "ui/CandidateDialog.h"
#include "ui/ListDrop.h"
#include "ui/MapCentreCapture.h"
#include "ui/PostalUpdateAction.h"
#include "ui/RecordClipboard.h"
#include "ui/RecordGrid.h"
#include "ui/StatusPanel.h"
#include "ui/StoredPlacement.h"
#include "ui/WindowDesign.h"
#include "ui/WindowLayout.h"
#include "ui/WindowStatusBar.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace {

// Pixels of a button's face kept clear beside its caption at the window's least width.
constexpr int kCaptionPadding = 8;
// Said after the warning that the postal data is old.

const CommandBinding *bindingForKey(int key)
{
    for (const CommandBinding &binding : kCommands)
        if (binding.key == key)
            return &binding;
    return nullptr;
}

} // namespace

const QString MainWindow::kCaption = u"住所･郵便番号･緯度･経度を調べる (Google 測地系=wgs84)"_s;

MainWindow::MainWindow(const Services &services, QWidget *parent)
    : QWidget(parent), m_services(services),
      m_clipboardWatch(*services.clipboard, [this](const QString &text) { takeCopiedPosition(text); })
{
    createControls();
    m_browserPanel->setLayoutEnabled(true);
    m_placement = std::make_unique<StoredPlacement>(*this, m_services.settings);
    m_placement->restore(dpi());
    if (m_services.settings && !m_services.settings->canSave())
        showWarning(QFileInfo(m_services.settings->filePath()).fileName() +
                    u" は通常のファイルではないため設定を保存しません"_s);
    CandidateChooser *chooser = m_services.chooser ? m_services.chooser : new CandidateDialog(this);
    m_addressSearch = new AddressSearch(m_services.completers, *chooser, *m_services.messages, *m_recordGrid,
                                        m_statusBar->commandPanel(), *this);
    commandButton(Command::AddressSearch)->setEnabled(m_addressSearch->isAvailable());
    connect(m_addressSearch, &AddressSearch::completed, this, [this] { setCopyEnabled(true); });
    connect(m_addressSearch, &AddressSearch::dataReady, this, [this](const QString &date) {
        m_statusBar->showDataDate(date, m_services.today ? m_services.today() : QDate::currentDate());
    });
    if (m_services.postalUpdate && m_addressSearch->isAvailable()) {
        m_postalUpdate = new PostalUpdateAction(*m_services.postalUpdate, *m_services.messages, *this);
        connect(m_postalUpdate, &PostalUpdateAction::updated, m_addressSearch, &AddressSearch::reload);
        m_postalUpdate->offerIn(*m_statusBar);
    }
    m_mapCentreCapture =
        new MapCentreCapture(*m_browserPanel, m_clipboardWatch, m_statusBar->commandPanel(), *this);
    if (m_services.lists)
        new ListDrop(*m_services.lists, m_services.fileManager, *m_services.messages, *this);
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    // The grid outlives this part of the window: an editor it closes on the way out must not reach us.
    m_recordGrid->disconnect(this);
}

double MainWindow::dpi() const
{
    return logicalDpiX() > 0 ? logicalDpiX() : 96.0;
}

void MainWindow::createControls()
{
    setWindowTitle(kCaption);
    setWindowIcon(QIcon(u":/velmora/velmora.svg"_s));
    const double d = dpi();
    resize(Twips::toPixels(WindowDesign::kClient.width(), d),
           Twips::toPixels(WindowDesign::kClient.height(), d));
    move(Twips::toPixels(WindowDesign::kClientPlace.x(), d),
         Twips::toPixels(WindowDesign::kClientPlace.y(), d));

    for (size_t i = 0; i < kCommands.size(); ++i) {
        const CommandBinding &binding = kCommands[i];
        auto *button = new QPushButton(QString::fromUtf16(binding.caption), this);
        if (binding.toolTip)
            button->setToolTip(QString::fromUtf16(binding.toolTip));
        button->setEnabled(binding.enabledAtStart);
        button->setAutoDefault(false);
        placeInTwips(*button, QRect(QPoint(binding.left, WindowDesign::kCommandButtonTop),
                                    WindowDesign::kCommandButton));
        connect(button, &QPushButton::clicked, this, [this, command = binding.command] { run(command); });
        m_commandButtons[i] = button;
    }

    m_recordGrid = new RecordGrid(this);
    placeInTwips(*m_recordGrid, WindowDesign::kRecordGrid);
    connect(m_recordGrid, &RecordGrid::edited, this, [this] { setCopyEnabled(true); });
    connect(m_recordGrid, &RecordGrid::mapUrlActivated, this, &MainWindow::showUrl);
    m_recordClipboard =
        std::make_unique<RecordClipboard>(*m_services.clipboard, *m_services.messages, *m_recordGrid);
    connect(m_recordGrid, &RecordGrid::pasteRequested, this, [this] {
        if (m_recordClipboard->paste())
            setCopyEnabled(true);
    });

    m_browserPanel = new BrowserPanel({m_services.fileManager, m_services.folders}, this);
    placeInTwips(*m_browserPanel, WindowDesign::kBrowserPanel);

    m_statusBar = new WindowStatusBar(m_recordGrid->font(), dpi(), this);
    placeInTwips(*m_statusBar, WindowDesign::kStatusBar);
    setMinimumSizeForButtons();
    setTabOrderOfTheDesign();
    m_recordGrid->setFocus();
}

void MainWindow::setTabOrderOfTheDesign()
{
    QList<QWidget *> order(kTabIndexCount, nullptr);
    order[kGridTabIndex] = m_recordGrid;
    order[kBrowserPanelTabIndex] = m_browserPanel;
    for (size_t i = 0; i < kCommands.size(); ++i)
        order[kCommands[i].tabIndex] = m_commandButtons[i];
    order.removeAll(nullptr);
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void MainWindow::shutDown()
{
    m_services.settings = nullptr;
    m_placement->forget();
    m_clipboardWatch.stop();
    // Hidden windows count too: a request window is hidden, not closed, when the user is done.
    const auto windows = QApplication::topLevelWidgets();
    for (const QPointer<QWidget> w : windows) {
        if (w && w->isWindow())
            w->close();
    }
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    m_shownOnce = true;
    m_placement->fitToFrame(m_shownOnce);
    activate();
}

void MainWindow::activate()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    raise();
    activateWindow();
}

void MainWindow::showRecordMap()
{
    const AddressRecord r = record();
    if (!r.mapUrl.isEmpty())
        showUrl(r.mapUrl);
    else if (!r.address.isEmpty())
        showMapQuery(r.address);
    else if (!r.postalCode.isEmpty())
        showUrl(MapQuery::forPostalCode(r.postalCode));
    else
        return;
    commandButton(Command::CaptureMapCentre)->setEnabled(true);
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (m_placement)
        m_placement->fitToFrame(m_shownOnce);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_placement)
        m_placement->fitToFrame(m_shownOnce);
    layOut();
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Restoring from minimized may bring no resize of its own.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        layOut();
}

void MainWindow::layOut()
{
    if (isMinimized())
        return;
    const double d = dpi();
    const int statusHeight = Twips::fromPixels(m_statusBar->height(), d);
    const WindowLayout layout = WindowLayout::forClient(
        QSize(Twips::fromPixels(width(), d), Twips::fromPixels(height(), d)), statusHeight);
    for (size_t i = 0; i < m_commandButtons.size(); ++i)
        placeInTwips(*m_commandButtons[i], layout.buttons[i]);
    placeInTwips(*m_recordGrid, layout.grid);
    m_recordGrid->setAddressGain(Twips::toPixels(layout.addressGain, d));
    placeInTwips(*m_browserPanel, layout.browserPanel);
    placeInTwips(*m_statusBar, layout.statusBar);
}

void MainWindow::setMinimumSizeForButtons()
{
    // Every caption whole, with a few pixels of the button's face on either side.
    int widest = 0;
    for (const QPushButton *button : m_commandButtons)
        widest =
            std::max(widest, button->fontMetrics().horizontalAdvance(QString(button->text()).remove(u'&')));
    const double d = dpi();
    const QSize least = WindowLayout::minimumClient(Twips::fromPixels(widest + kCaptionPadding, d),
                                                    Twips::fromPixels(m_statusBar->height(), d));
    // Never more than the screen has room for, its frame included: a window must fit its screen before
    // anything else.
    const QSize room =
        screen() ? screen()->availableGeometry().size() * 0.9 : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setMinimumSize(
        QSize(Twips::toPixels(least.width(), d), Twips::toPixels(least.height(), d)).boundedTo(room));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closing) {
        m_closing = true;
        m_browserPanel->setLayoutEnabled(false);
        m_placement->save(dpi());
        shutDown();
    }
    // Accepting hides the window, and hiding ends a request's modal display.
    event->accept();
}

void MainWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit hidden();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Function keys work wherever the focus is: a key press reaches the window before the focused
    // control, once, as it enters through the window's own platform window; it then goes on to the
    // control as usual.
    if (event->type() == QEvent::KeyPress && watched == windowHandle() && isVisible())
        handleFunctionKey(static_cast<QKeyEvent *>(event)->key());
    return QWidget::eventFilter(watched, event);
}

void MainWindow::handleFunctionKey(int key)
{
    if (const CommandBinding *binding = bindingForKey(key))
        run(binding->command);
}

QPushButton *MainWindow::commandButton(Command command) const
{
    // The table's rows follow the commands' order (Command.h checks it); a value no command has throws.
    return m_commandButtons.at(size_t(command));
}

AddressRecord MainWindow::record() const
{
    return m_recordGrid->readRecord();
}

void MainWindow::setCopyEnabled(bool enabled)
{
    commandButton(Command::CopyRecord)->setEnabled(enabled);
}

void MainWindow::showWarning(const QString &text)
{
    m_statusBar->showWarning(text);
}

QString MainWindow::statusText(int panel) const
{
    return m_statusBar->text(panel);
}

void MainWindow::showUrl(const QString &url)
{
    m_browserPanel->setUrl(url);
}

void MainWindow::showMapQuery(const QString &searchText)
{
    showUrl(MapQuery::forSearch(searchText));
}

void MainWindow::run(Command command)
{
    const AddressRecord r = record();
    switch (command) {
    case Command::Clear:
        clearRecord();
        break;
    case Command::AddressSearch:
        m_addressSearch->run();
        break;
    case Command::MapByAddress:
        if (searchable(r.address, u"住所"_s))
            showMapQuery(r.address);
        break;
    case Command::MapByPostalCode:
        if (searchable(r.postalCode, u"郵便番号"_s))
            showUrl(MapQuery::forPostalCode(r.postalCode));
        break;
    case Command::MapByCompany:
        if (searchable(r.company + r.address, u"会社等と住所"_s))
            showMapQuery(r.company + u' ' + r.address);
        break;
    case Command::CaptureMapCentre:
        m_mapCentreCapture->run();
        break;
    case Command::CopyRecord:
        if (m_servingRequest)
            emit acceptRequested();
        else
            m_recordClipboard->copy();
        break;
    case Command::Help:
        if (m_services.shell)
            m_services.shell->openHelp(u"velmora"_s, qintptr(winId()));
        break;
    case Command::Close:
        if (m_servingRequest) {
            hide();
        } else {
            close();
        }
        break;
    }
}

bool MainWindow::searchable(const QString &text, const QString &what)
{
    // An empty search would open the map service's page of nothing, which looks like a fault.
    if (text.trimmed().isEmpty()) {
        m_statusBar->commandPanel().say(u"%1が空のため、地図を検索しませんでした"_s.arg(what), this);
        return false;
    }
    m_statusBar->commandPanel().withdraw(this);
    commandButton(Command::CaptureMapCentre)->setEnabled(true);
    return true;
}

void MainWindow::clearRecord()
{
    m_recordGrid->showRecord({});
    // The next record starts with its code, where F4 begins.
    m_recordGrid->setCurrentCell(0, int(RecordGrid::Column::PostalCode));
    setCopyEnabled(false);
}

void MainWindow::takeCopiedPosition(const QString &copiedText)
{
    const auto url = MapPosition::mapUrlFor(copiedText);
    if (!url)
        return;
    m_browserPanel->setUrlBoxText(BrowserRules::readable(*url));
    m_recordGrid->setCell(RecordGrid::Column::MapUrl, *url);
    m_mapCentreCapture->taken();
    setCopyEnabled(true);
}

void MainWindow::serveRequest(const AddressRecord &record)
{
    m_servingRequest = true;
    // A request is served with the data it started with.
    for (QAction *action : m_statusBar->actions())
        action->setEnabled(false);
    m_recordGrid->showRecord(record);
    commandButton(Command::CopyRecord)->setText(QString::fromUtf16(kAcceptRequestCaption));
}
