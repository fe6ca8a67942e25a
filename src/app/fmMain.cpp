#include "app/fmMain.h"

#include "app/Cp932.h"
#include "app/GridEditDelegate.h"
#include "app/MsgBox.h"
#include "app/ProgramValues.h"
#include "app/Usr.h"
#include "browser/MapCentreScript.h"
#include "browser/Twips.h"
#include "browser/uWeb.h"
#include "clipboard/ClipboardSource.h"
#include "lookup/ClipPosition.h"
#include "lookup/MapQuery.h"
#include "settings/yIni.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QWindow>
#include <cmath>

namespace {

struct ButtonDesign {
    const char *caption;
    int left;
    int tabIndex;
    const char *tooltip;
    bool enabled;
};

// The nine command buttons, left to right in index order. The last starts at 14400, not 14385.
const ButtonDesign kButtons[9] = {
    {"初期化 (&F2)", -15, 10, "住所又は郵便番号から地図を検索します", true},
    {"住所検索  (&F4)", 1785, 4, "住所又は郵便番号から地図を検索します", true},
    {"地図住所検索  (&F5)", 3585, 2, "GoogleMapのｻｲﾄで住所から検索します", true},
    {"地図〒番号検索 (&F6)", 5385, 5, "GoogleMapのｻｲﾄで郵便番号から検索します", true},
    {"会社等で検索(F7)", 7185, 7, "GoogleMapのｻｲﾄで会社等から検索します", true},
    {"緯度･経度を表示(F8)", 8985, 8, nullptr, false},
    {"CLIP BOARD(&F9)", 10785, 3, nullptr, false},
    {"ﾍﾙﾌﾟ(&F10)", 12585, 9, nullptr, true},
    {"終了(&F12)", 14400, 11, nullptr, true},
};

// Function key to command index; every other key runs nothing.
int commandForKey(int key)
{
    switch (key) {
    case Qt::Key_F2:
        return 0;
    case Qt::Key_F4:
        return 1;
    case Qt::Key_F5:
        return 2;
    case Qt::Key_F6:
        return 3;
    case Qt::Key_F7:
        return 4;
    case Qt::Key_F8:
        return 5;
    case Qt::Key_F9:
        return 6;
    case Qt::Key_F10:
        return 7;
    case Qt::Key_F12:
        return 8;
    default:
        return -1;
    }
}

QFont japaneseFont(double pointSize)
{
    QFont font;
    // The design's font where it is installed, else a Japanese face the system has.
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic")});
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    return font;
}

int roundHalfEven(double v)
{
    return int(std::nearbyint(v)); // the default rounding mode sends halves to the even neighbour
}

const QString kNotFound = QStringLiteral("対象が見つかりません");

} // namespace

const QString fmMain::kCaption = QStringLiteral("住所･郵便番号･緯度･経度を調べる (Google 測地系=wgs84)");

fmMain::fmMain(const fmMainServices &services, QWidget *parent)
    : QWidget(parent), m_services(services),
      m_clipWatch(*services.clipboard, [this](const QString &text) { ClipEvent(text); })
{
    buildDesign();
    Load();
    qApp->installEventFilter(this);
}

fmMain::~fmMain()
{
    qApp->removeEventFilter(this);
}

double fmMain::dpi() const
{
    return logicalDpiX() > 0 ? logicalDpiX() : 96.0;
}

void fmMain::placeTwips(QWidget *w, double left, double top, double width, double height)
{
    const double d = dpi();
    w->setGeometry(Twips::toPixels(int(left), d), Twips::toPixels(int(top), d),
                   Twips::toPixels(int(width), d), Twips::toPixels(int(height), d));
}

void fmMain::buildDesign()
{
    setWindowTitle(kCaption);
    setWindowIcon(QIcon(QStringLiteral(":/velmora/velmora.svg")));
    const double d = dpi();
    resize(Twips::toPixels(kClientWidth, d), Twips::toPixels(kClientHeight, d));
    // The design puts the client area 1155 by 690 twips from the screen's corner.
    move(Twips::toPixels(1155, d), Twips::toPixels(690, d));

    for (int i = 0; i < 9; ++i) {
        auto *b = new QPushButton(QString::fromUtf8(kButtons[i].caption), this);
        if (kButtons[i].tooltip)
            b->setToolTip(QString::fromUtf8(kButtons[i].tooltip));
        b->setEnabled(kButtons[i].enabled);
        b->setAutoDefault(false);
        placeTwips(b, kButtons[i].left, -15, 1800, 315);
        connect(b, &QPushButton::clicked, this, [this, i] { cmMap_Click(i); });
        cmMap[size_t(i)] = b;
    }

    vAdd = new QTableWidget(1, 4, this);
    vAdd->setFont(japaneseFont(0));
    vAdd->setHorizontalHeaderLabels({QStringLiteral("郵便番号"), QStringLiteral("住所"),
                                     QStringLiteral("会社等"), QStringLiteral("MAP URL")});
    vAdd->verticalHeader()->setVisible(false);
    vAdd->setItemDelegate(new GridEditDelegate(vAdd));
    vAdd->setSelectionMode(QAbstractItemView::SingleSelection);
    vAdd->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::SelectedClicked);
    // Column widths in character widths of the grid's font.
    const int charWidth = vAdd->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const double widths[4] = {7.12, 33.75, 20.62, 56.5};
    for (int c = 0; c < 4; ++c) {
        vAdd->setColumnWidth(c, qRound(widths[c] * charWidth) + 8);
        vAdd->setItem(0, c, new QTableWidgetItem());
    }
    placeTwips(vAdd, -30, 330, 14400, 960);
    connect(vAdd, &QTableWidget::itemChanged, this, [this] { gridChanged(); });
    connect(vAdd, &QTableWidget::cellDoubleClicked, this,
            [this](int, int column) { gridMapUrlActivated(column + 1); });

    m_web = new uWeb(this);
    placeTwips(m_web, -105, 1365, 14790, 5820);
    connect(m_web, &uWeb::gotFocus, this, [this] { m_clipWatch.watch(0); });

    stBar = new QStatusBar(this);
    stBar->setSizeGripEnabled(false);
    stBar->setFont(japaneseFont(9.75));
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i] = new QLabel(stBar);
        m_panels[i]->setMinimumWidth(Twips::toPixels(1440, d));
        if (i == 0)
            stBar->addWidget(m_panels[i], 1);
        else
            stBar->addPermanentWidget(m_panels[i]);
    }
    placeTwips(stBar, 0, 7170, 16260, 315);

    // Tab order by the design's tab indexes: the grid first (the status bar takes no focus).
    QList<QWidget *> order(12, nullptr);
    order[1] = vAdd;
    order[6] = m_web;
    for (int i = 0; i < 9; ++i)
        order[kButtons[i].tabIndex] = cmMap[size_t(i)];
    order.removeAll(nullptr);
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    vAdd->setFocus();
}

void fmMain::Load()
{
    Program::MainOpen = true;
    Updating = true;
    yIni &ini = yIni::Shared();
    ini.W_UserData(qintptr(winId()));
    ini.GetTxt(Program::UserDataFolder + QStringLiteral("User.xml"));
    ini.GetGtx(QStringLiteral("位置"));
    const auto read = [&ini](const char *key) {
        return roundHalfEven(ini.vGtVal(QString::fromLatin1(key), QVariant::fromValue(qint16(0))).toDouble());
    };
    const int top = read("TOP");
    const int left = read("LEFT");
    const int width = read("WIDTH");
    const int height = read("HEIGHT");
    InitAddrObj();
    if (width > 0 && height > 0) {
        m_storedRect = QRect(left, top, width, height);
        const double d = dpi();
        move(Twips::toPixels(left, d), Twips::toPixels(top, d));
        resize(Twips::toPixels(width, d), Twips::toPixels(height, d));
    }
    Updating = false;
}

void fmMain::InitAddrObj()
{
    m_addressComponent = m_services.addressFactory
                             ? m_services.addressFactory->create(QStringLiteral("Adrolex.cAdd"))
                             : nullptr;
    cmMap[1]->setEnabled(m_addressComponent != nullptr);
}

void fmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    if (m_storedRect && !m_shownOnce) {
        // The stored rectangle is the outer one; the frame is known only now.
        const QRect rect = *m_storedRect;
        QTimer::singleShot(0, this, [this, rect] {
            const double d = dpi();
            const QSize frame = frameGeometry().size() - geometry().size();
            resize(Twips::toPixels(rect.width(), d) - frame.width(),
                   Twips::toPixels(rect.height(), d) - frame.height());
        });
    }
    m_shownOnce = true;
    Activate();
}

void fmMain::Activate()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    Usr::BringToFront(this);
    if (RequestMode) {
        if (!MapURL.isEmpty())
            showUrl(MapURL);
        else if (!Address.isEmpty())
            ShowMapQuery(Address);
        else if (!PostCode.isEmpty())
            ShowPostalQuery();
        cmMap[5]->setEnabled(true);
    }
}

void fmMain::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Resize();
}

void fmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Restoring from minimized may bring no resize of its own.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        Resize();
}

void fmMain::Resize()
{
    if (isMinimized())
        return;
    const double d = dpi();
    const int t = Twips::fromPixels(m_web->y(), d);
    const int W = Twips::fromPixels(width(), d);
    const int H = Twips::fromPixels(height(), d);
    const int s = Twips::fromPixels(stBar->height(), d);
    // A window lower than the fixed rows gives the panel no height rather than a negative one.
    placeTwips(m_web, 0, t, W, std::max(0, H - t - s));
    placeTwips(stBar, 0, H - s, W, s);
}

void fmMain::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    m_closing = true;
    QueryUnload();
    // Accepting hides the window, and hiding ends a request's modal display.
    event->accept();
}

void fmMain::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit hidden();
}

void fmMain::QueryUnload()
{
    const QRect outer = frameGeometry();
    const double d = dpi();
    const float left = std::max(0.0f, float(Twips::fromPixels(outer.x(), d)));
    const float top = std::max(0.0f, float(Twips::fromPixels(outer.y(), d)));
    const float width = float(Twips::fromPixels(outer.width(), d));
    const float height = float(Twips::fromPixels(outer.height(), d));
    yIni &ini = yIni::Shared();
    ini.GetGtx(QStringLiteral("位置"));
    ini.SetVal(QStringLiteral("TOP"), top);
    ini.SetVal(QStringLiteral("LEFT"), left);
    ini.SetVal(QStringLiteral("WIDTH"), width);
    ini.SetVal(QStringLiteral("HEIGHT"), height);
    ini.SetGtx();
    ini.SetTxt();
    Program::MainOpen = false;
    Usr::ShutDown();
}

bool fmMain::eventFilter(QObject *watched, QEvent *event)
{
    // Key preview: a key press reaches the window before the focused control, once, as it enters
    // through the window's own platform window; it then goes on to the control as usual.
    if (event->type() == QEvent::KeyPress && watched == windowHandle() && isVisible())
        KeyDown(static_cast<QKeyEvent *>(event)->key());
    return QWidget::eventFilter(watched, event);
}

void fmMain::KeyDown(int key)
{
    const int index = commandForKey(key);
    if (index >= 0)
        cmMap_Click(index);
}

void fmMain::SetClipButton(bool enabled)
{
    cmMap[6]->setEnabled(enabled);
}

void fmMain::SetStatus(const QString &text, int index)
{
    if (index >= 0 && index < int(m_panels.size()))
        m_panels[size_t(index)]->setText(text);
}

QString fmMain::statusText(int panel) const
{
    return m_panels.at(size_t(panel))->text();
}

void fmMain::setCell(int column, const QString &text)
{
    vAdd->item(0, column - 1)->setText(text);
}

void fmMain::PutGrid()
{
    Updating = true;
    setCell(1, PostCode);
    setCell(2, Address);
    setCell(3, Company);
    setCell(4, MapURL);
    Updating = false;
}

void fmMain::GetGrid()
{
    PostCode = vAdd->item(0, 0)->text();
    Address = vAdd->item(0, 1)->text();
    Company = vAdd->item(0, 2)->text();
    MapURL = vAdd->item(0, 3)->text();
    Updating = false;
}

void fmMain::gridChanged()
{
    if (!Updating)
        SetClipButton(true);
}

void fmMain::gridMapUrlActivated(int column)
{
    if (column != 4)
        return;
    const QString url = vAdd->item(0, 3)->text();
    if (!url.isEmpty())
        showUrl(url);
}

void fmMain::showUrl(const QString &url)
{
    m_web->setURL(url);
}

void fmMain::ShowMapQuery(const QString &searchText)
{
    showUrl(MapQuery::forSearch(searchText));
}

void fmMain::ShowPostalQuery()
{
    showUrl(MapQuery::forPostalCode(PostCode));
}

void fmMain::cmMap_Click(int index)
{
    switch (index) {
    case 0:
        Updating = true;
        for (int c = 1; c <= 4; ++c)
            setCell(c, QString());
        SetClipButton(false);
        Updating = false;
        break;
    case 1:
        addressSearch();
        break;
    case 2:
        GetGrid();
        ShowMapQuery(Address);
        cmMap[5]->setEnabled(true);
        break;
    case 3:
        GetGrid();
        ShowPostalQuery();
        cmMap[5]->setEnabled(true);
        break;
    case 4:
        GetGrid();
        ShowMapQuery(Company + u' ' + Address);
        cmMap[5]->setEnabled(true);
        break;
    case 5:
        m_clipWatch.watch(1);
        showUrl(MapCentreScript::url());
        m_clipWatch.watch(0);
        break;
    case 6:
        if (RequestMode)
            acceptRequest();
        else
            copyRecord();
        break;
    case 7:
        yIni::Shared().W_Help(QStringLiteral("velmora"));
        break;
    case 8:
        if (RequestMode) {
            RequestAccepted = false;
            hide();
        } else {
            close();
        }
        break;
    default:
        break;
    }
}

void fmMain::addressSearch()
{
    GetGrid();
    if (!cmMap[1]->isEnabled() || !m_addressComponent)
        return;
    try {
        m_addressComponent->PutAdd(PostCode, Address, Company, 1);
    } catch (const std::exception &) {
        m_services.msgBox->show(QStringLiteral("住所検索に失敗しました"));
        return;
    }
    if (!Address.isEmpty()) {
        PutGrid();
        SetClipButton(true);
        vAdd->setCurrentCell(0, 2);
    } else {
        SetStatus(kNotFound, 0);
    }
}

void fmMain::copyRecord()
{
    GetGrid();
    const QString text = PostCode + u'\t' + Address + u'\t' + Company + u'\t' + MapURL;
    if (!m_services.clipboard->putText(text)) {
        m_services.msgBox->show(
            QStringLiteral("クリップボードを使用できません\r少し待ってからもう一度お試しください"));
        return;
    }
    m_services.msgBox->show(QStringLiteral("クリップボードに住所情報を貼り付けました"));
}

void fmMain::acceptRequest()
{
    // An answer the calling program could not read back as typed is not handed over: the user is
    // told which character to change and the request stays open.
    if (m_request) {
        GetGrid();
        const QString answer = m_request->answerFor(record());
        if (!Cp932::encode(answer)) {
            QString bad;
            for (qsizetype i = 0; i < answer.size() && bad.isEmpty(); ++i) {
                const qsizetype n = answer[i].isHighSurrogate() && i + 1 < answer.size() ? 2 : 1;
                if (!Cp932::encode(answer.mid(i, n)))
                    bad = answer.mid(i, n);
                i += n - 1;
            }
            m_services.msgBox->show(QStringLiteral("「") + bad +
                                    QStringLiteral("」は依頼ファイルに書き込めない文字です\r"
                                                   "文字を直してからもう一度 F9 を押してください"));
            return;
        }
    }
    RequestAccepted = true;
    hide();
}

void fmMain::ClipEvent(const QString &clipText)
{
    try {
        const auto url = ClipPosition::mapUrlFor(clipText);
        if (!url)
            return;
        m_web->SetText(*url);
        MapURL = *url;
        setCell(4, MapURL);
        SetClipButton(true);
        GetGrid();
    } catch (...) {
        // A copied text that cannot be taken over changes nothing more and says nothing.
    }
}

bool fmMain::ActA(QString &requestText)
{
    m_request.emplace(requestText);
    const AddressRecord initial = m_request->initialRecord();
    PostCode = initial.PostCode;
    Address = initial.Address;
    Company = initial.Company;
    MapURL = initial.MapURL;
    RequestMode = true;
    RequestAccepted = false;
    PutGrid();
    cmMap[6]->setText(QStringLiteral("MAP URL取込(&F9)"));

    QEventLoop loop;
    const auto connection = connect(this, &fmMain::hidden, &loop, &QEventLoop::quit);
    setWindowModality(Qt::ApplicationModal);
    show();
    if (isVisible())
        loop.exec();
    disconnect(connection);

    const bool accepted = RequestAccepted;
    if (accepted) {
        GetGrid();
        requestText = m_request->answerFor(record());
    }
    return accepted;
}
