#include "platform/SpecialFolders.h"
#include "support/FakeClipboard.h"
#include "support/FakeMessages.h"
#include "support/LocalHttpServer.h"
#include "ui/BrowserContextMenu.h"
#include "ui/BrowserPanel.h"
#include "ui/JapaneseTranslations.h"
#include "ui/MainWindow.h"
#include "ui/PlainMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QWebEngineView>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kWebTimeout = 20000;

// Latin words a Japanese user reads as they are: the program's name, the names and captions its
// window has always shown (Google, its map URL, the CLIP BOARD key, the WGS84 datum), OK, PDF, and the
// web archive's type and extensions.
const QStringList kAllowedWords{u"Velmora"_s, u"Google"_s, u"GoogleMap"_s, u"MAP"_s, u"URL"_s,
                                u"CLIP"_s,    u"BOARD"_s,  u"wgs"_s,       u"OK"_s,  u"PDF"_s,
                                u"MHTML"_s,   u"Web"_s,    u"mhtml"_s,     u"mht"_s};

// The texts among these, one a line, with a Latin word of two letters or more that is not allowed.
// Addresses and paths are the user's, not the program's words; a menu item's shortcut reads as the keys do.
QString english(const QStringList &texts)
{
    static const QRegularExpression addresses(uR"((\w+:)?/\S*|about:blank|\t.*)"_s);
    static const QRegularExpression word(u"[A-Za-z]{2,}"_s);
    QStringList found;
    for (const QString &text : texts) {
        for (const auto &match : word.globalMatch(QString(text).remove(addresses))) {
            if (!kAllowedWords.contains(match.captured()) && !found.contains(text))
                found << text;
        }
    }
    return found.join(u'\n');
}

void addItemTexts(const QAbstractItemView &view, QStringList &texts)
{
    const QAbstractItemModel *model = view.model();
    for (int row = 0; row < model->rowCount(view.rootIndex()); ++row)
        for (int column = 0; column < model->columnCount(view.rootIndex()); ++column)
            for (int role : {Qt::DisplayRole, Qt::ToolTipRole})
                texts << model->index(row, column, view.rootIndex()).data(role).toString();
}

// What the user can read on the shown widget and its shown children, their actions included.
QStringList textsOf(const QWidget &root)
{
    QStringList texts{root.windowTitle()};
    for (const QAction *action : root.findChildren<QAction *>())
        texts << action->text() << action->toolTip();
    QList<const QWidget *> widgets = root.findChildren<const QWidget *>();
    widgets << &root;
    for (const QWidget *widget : widgets) {
        if (!widget->isVisible())
            continue;
        texts << widget->toolTip();
        for (const QAction *action : widget->actions())
            texts << action->text() << action->toolTip();
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            texts << label->text();
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            texts << button->text();
        if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
            texts << edit->text() << edit->placeholderText();
        if (const auto *combo = qobject_cast<const QComboBox *>(widget))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        if (const auto *header = qobject_cast<const QHeaderView *>(widget))
            for (int i = 0; i < header->count(); ++i)
                texts << header->model()->headerData(i, header->orientation()).toString();
        else if (const auto *view = qobject_cast<const QAbstractItemView *>(widget))
            addItemTexts(*view, texts);
    }
    texts.removeAll(QString());
    texts.removeDuplicates();
    return texts;
}

// The documents folder is the save dialog's; its entries are named in Japanese as a user's are.
class Folders : public SpecialFolders {
public:
    QString documents;
    QString path(SpecialFolder) const override { return documents; }
};

} // namespace

// The window, the browser's menus, the save and print dialogs and a message box on a system whose
// locale is C.
class tst_JapaneseTexts : public QObject {
    Q_OBJECT
    LocalHttpServer m_server;
    QTemporaryDir m_home;
    Folders m_folders;
    FakeMessages m_messages;
    FakeClipboard m_clipboard;
    std::unique_ptr<MainWindow> m_window;
    bool m_drawn = false;
    QStringList m_dialogTexts;

    BrowserPanel &panel() const { return *m_window->browserPanel(); }

    // The menu a right click at the point of the page brings up; null if none comes.
    QMenu *rightClick(QPoint at)
    {
        // Through the window, as the user's mouse does.
        QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, {},
                          panel().webView()->mapTo(m_window.get(), at));
        QMenu *menu = nullptr;
        return QTest::qWaitFor(
                   [&] { return menu = qobject_cast<QMenu *>(QApplication::activePopupWidget()); },
                   kWebTimeout)
                   ? menu
                   : nullptr;
    }

    // Once a modal dialog shows what ready asks for, keeps its texts in m_dialogTexts and closes it.
    void readNextDialog(const std::function<bool(QWidget &)> &ready = [](QWidget &) { return true; })
    {
        m_dialogTexts.clear();
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll, ready] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || dialog == m_window.get() || !ready(*dialog))
                return;
            m_dialogTexts = textsOf(*dialog);
            poll->deleteLater();
            dialog->close();
        });
        poll->start(20);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The home folder has the user's own name, which the file dialog's places show.
        const QString home = m_home.filePath(u"田中"_s);
        QVERIFY(m_home.isValid() && QDir(home).mkpath(u"書類/写真"_s));
        qputenv("HOME", QFile::encodeName(home));
        m_folders.documents = home + u"/書類"_s;
        QFile file(m_folders.documents + u"/地図.mhtml"_s);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("<html></html>") > 0);
        file.close();
        QVERIFY(m_server.start());
        // The page says once it has been drawn; right clicks before that go nowhere.
        m_server.addPage(u"/maps"_s,
                         "<!DOCTYPE html><html><head><meta charset='utf-8'><title>地図</title>"
                         "<style>*{margin:0}a,input{position:absolute;left:0;width:200px;height:"
                         "40px}</style></head><body><a href='/maps' style='top:0'>地図</a>"
                         "<input style='top:100px'><script>requestAnimationFrame(() => "
                         "requestAnimationFrame(() => window.drawn = true))</script></body></html>");
        m_window = std::make_unique<MainWindow>(MainWindow::Services{
            &m_messages, &m_clipboard, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &m_folders});
        m_window->show();
        panel().setUrl(m_server.base() + u"/maps"_s);
        QTimer ask;
        connect(&ask, &QTimer::timeout, this, [this] {
            panel().runScript(u"window.drawn === true"_s,
                              [this](const QVariant &v) { m_drawn = v.toBool(); });
        });
        ask.start(20);
        QTRY_VERIFY_WITH_TIMEOUT(m_drawn, kWebTimeout);
    }
    void cleanupTestCase() { m_window.reset(); }

    void windowAndTextBoxMenu()
    {
        QStringList texts = textsOf(*m_window);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                panel().urlEdit()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(panel().urlEdit(), &event);
        QMenu *boxMenu = nullptr;
        QTRY_VERIFY(boxMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        texts << textsOf(*boxMenu);
        boxMenu->close();
        QCOMPARE(english(texts), QString());
    }

    void browserMenus()
    {
        // On the link, in the box and on the page itself.
        for (const QPoint at : {QPoint(20, 20), QPoint(20, 120), QPoint(300, 300)}) {
            QMenu *menu = rightClick(at);
            QVERIFY(menu);
            const QStringList texts = textsOf(*menu);
            menu->close();
            QCOMPARE(english(texts), QString());
        }
    }

    // Asked for from the page's menu, the save dialog is the program's.
    void saveDialog()
    {
        // Both entries of the folder listed, with their dates.
        readNextDialog([](QWidget &dialog) {
            const auto *view = dialog.findChild<QTreeView *>();
            return view && view->isVisible() && view->model()->rowCount(view->rootIndex()) == 2;
        });
        QMenu *menu = rightClick(QPoint(300, 300));
        QVERIFY(menu);
        const auto &items = BrowserContextMenu::kItems;
        const auto save = std::find_if(items.begin(), items.end(), [](const auto &item) {
            return item.action == QWebEnginePage::SavePage;
        });
        for (QAction *action : menu->actions()) {
            if (action->text() == QString::fromUtf16(save->caption))
                action->trigger();
        }
        menu->close();
        QTRY_VERIFY_WITH_TIMEOUT(!m_dialogTexts.isEmpty(), kWebTimeout);
        QCOMPARE(english(m_dialogTexts), QString());
    }

    void pageBoxes_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("alert") << u"alert('住所')"_s;
        QTest::newRow("confirm") << u"confirm('住所')"_s;
        QTest::newRow("leave") << u"onbeforeunload = e => e.returnValue = '住所'; location.reload()"_s;
    }
    void pageBoxes()
    {
        QFETCH(QString, script);
        // A page may ask before it is left only once the user has done something on it.
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {},
                          panel().webView()->mapTo(m_window.get(), QPoint(300, 300)));
        readNextDialog();
        panel().runScript(script, [](const QVariant &) {});
        QTRY_VERIFY_WITH_TIMEOUT(!m_dialogTexts.isEmpty(), kWebTimeout);
        QCOMPARE(english(m_dialogTexts), QString());
    }

    void printDialog()
    {
        readNextDialog();
        panel().run(BrowserTool::Print);
        QTRY_VERIFY(!m_dialogTexts.isEmpty());
        QCOMPARE(english(m_dialogTexts), QString());
    }

    void messageBox()
    {
        readNextDialog();
        PlainMessageBox(m_window.get()).show(u"住所"_s);
        QTRY_VERIFY(!m_dialogTexts.isEmpty());
        QCOMPARE(english(m_dialogTexts), QString());
    }
};

int main(int argc, char *argv[])
{
    // A system set to plain C, as an English one is for Qt.
    qputenv("LANG", "C");
    qputenv("LC_ALL", "C");
    qunsetenv("LANGUAGE");
    JapaneseTranslations::chooseLocale();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QApplication::setApplicationName(u"Velmora"_s);
    const JapaneseTranslations translations;
    tst_JapaneseTexts test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_JapaneseTexts.moc"
