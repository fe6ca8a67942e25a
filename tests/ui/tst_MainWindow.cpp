#include "address/PostalDirectoryLoader.h"
#include "address/ZipEntryReader.h"
#include "app/RequestSession.h"
#include "core/AddressCompleter.h"
#include "core/Cp932Table.h"
#include "core/FileSystem.h"
#include "core/MapQuery.h"
#include "core/ProgramIdentity.h"
#include "core/Twips.h"
#include "lists/ListRunner.h"
#include "platform/ShellActions.h"
#include "platform/SystemShortcutWriter.h"
#include "platform/SystemSpecialFolders.h"
#include "settings/SettingsDocument.h"
#include "support/FakeChooser.h"
#include "support/FakeClipboard.h"
#include "support/FakeFileManager.h"
#include "support/FakeMessages.h"
#include "support/FakeShellLauncher.h"
#include "support/LocalHttpServer.h"
#include "support/LongRowsList.h"
#include "support/ZipOf.h"
#include "ui/BrowserPanel.h"
#include "ui/CandidateDialog.h"
#include "ui/MainWindow.h"
#include "ui/PostalUpdateSetup.h"
#include "ui/RecordGrid.h"
#include "ui/WindowDesign.h"
#include "update/Fetcher.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProgressDialog>
#include <QPromise>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kWebTimeout = 20000;

// Makes completers that give the answer the test chooses (the record as answer leaves it, or no
// address for none); with no answer set it makes none. Its data is ready unless a test says otherwise
// and then calls onReady itself.
class FakeCompleters : public AddressCompleterFactory {
public:
    std::function<void(AddressRecord &)> answer;
    QList<CompletionChoice> choices;
    CompletionNote note = CompletionNote::None;
    int searches = 0;
    bool ready = true;
    std::function<void()> onReady;

    bool isReady() const override { return ready; }
    void whenReady(QObject *context, std::function<void()> call) override
    {
        onReady = call;
        if (ready)
            QTimer::singleShot(0, context, call);
    }
    QString dataDate() const override { return ready ? u"2026-05-29"_s : QString(); }

    std::unique_ptr<AddressCompleter> createCompleter() override
    {
        struct Completer : AddressCompleter {
            explicit Completer(FakeCompleters &factory) : owner(factory) {}
            Completion complete(const AddressRecord &record) override
            {
                ++owner.searches;
                Completion completion{Completion::Kind::Found, record, owner.note, owner.choices};
                owner.answer(completion.record);
                if (!owner.choices.isEmpty())
                    completion.kind = Completion::Kind::Candidates;
                else if (completion.record.postalCode == u"fail"_s)
                    completion.kind = Completion::Kind::Failed;
                else if (completion.record.address.isEmpty())
                    completion.kind = Completion::Kind::NotFound;
                return completion;
            }
            FakeCompleters &owner;
        };
        return answer ? std::make_unique<Completer>(*this) : nullptr;
    }
};

// Answers each fetch with the next of its results, a moment later, as the network would.
class QueuedFetcher : public Fetcher {
public:
    explicit QueuedFetcher(QList<Result> results) : m_results(std::move(results)) {}
    void fetch(const QUrl &, qint64) override
    {
        QTimer::singleShot(0, this, [this] {
            emit finished(m_results.isEmpty() ? Result{Failure::Other, {}, {}} : m_results.takeFirst());
        });
    }
    void cancel() override {}

private:
    QList<Result> m_results;
};

// What one window uses, made anew for each test; its settings file sits in a fresh folder.
struct Rig {
    QTemporaryDir dir;
    Cp932Table codec;
    FileSystem files{codec};
    FakeMessages messages;
    SettingsDocument settings{files, &messages};
    FakeClipboard clipboard;
    FakeCompleters completers;
    FakeShellLauncher launcher;
    SystemShortcutWriter shortcuts{files};
    ShellActions shell{{&launcher, &shortcuts},
                       ProgramIdentity(dir.filePath(u"velmora"_s)),
                       QDir::toNativeSeparators(dir.path()) + QDir::separator(),
                       u"file:///help/"_s};
    // Dropped lists wait for the data until a test gives it.
    QPromise<PostalLoadResult> postalData;
    ListRunner lists{postalData.future(), files};
    FakeChooser chooser;
    // The fake data's date is 2026-05-29: fresh on this day.
    QDate today{2026, 6, 1};
    // No files: the status bar's update does nothing until a test sets it up.
    PostalUpdateSetup postalUpdate;

    Rig() { postalData.start(); }
    void giveData()
    {
        postalData.addResult(PostalDirectoryLoader::load(files, QStringLiteral(VELMORA_POSTAL_DATA), {}));
        postalData.finish();
    }
    FakeFileManager fileManager;

    QString settingsPath() const { return dir.filePath(u"User.xml"_s); }
    QByteArray settingsBytes() const { return files.readAll(settingsPath()).value_or("<unreadable>"); }
};

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
    LocalHttpServer m_server;
    std::unique_ptr<Rig> m_rig;
    std::unique_ptr<MainWindow> m_window;

    // A run of the program: reads the settings and makes the window, shown unless it is to serve.
    [[nodiscard]] bool open(bool show = true)
    {
        m_window.reset();
        const bool read = m_rig->settings.read(m_rig->settingsPath());
        m_window = std::make_unique<MainWindow>(
            MainWindow::Services{&m_rig->messages, &m_rig->clipboard, &m_rig->completers, &m_rig->chooser,
                                 &m_rig->settings, &m_rig->shell, &m_rig->lists, &m_rig->fileManager, nullptr,
                                 [this] { return m_rig->today; }, &m_rig->postalUpdate});
        if (show)
            m_window->show();
        return read && (!show || QTest::qWaitForWindowActive(m_window.get()));
    }

    // Through the window's platform window, as the user's keyboard does.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_window->windowHandle(), key, modifiers);
    }

    QPushButton *button(Command command) const { return m_window->commandButton(command); }

    // Drops files on the grid with the events a file manager's drop brings, offering a copy or a move;
    // whether the window took them, as a copy.
    bool dropOnGrid(const QStringList &paths)
    {
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls.append(QUrl::fromLocalFile(path));
        QMimeData mime;
        mime.setUrls(urls);
        QWidget *target = m_window->recordGrid()->viewport();
        const QPoint at = target->rect().center();
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return enter.isAccepted() && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
    }

    // Once a dialog with a button of that caption shows over the window, keeps its texts and clicks it.
    void answerNextDialog(const QString &caption, QString *texts)
    {
        auto *poll = new QTimer(m_window.get());
        connect(poll, &QTimer::timeout, poll, [this, poll, caption, texts] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || dialog == m_window.get() || !dialog->isVisible())
                return;
            for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
                if (button->text() != caption)
                    continue;
                for (const QLabel *label : dialog->findChildren<QLabel *>())
                    texts->append(label->text() + u'\n');
                poll->deleteLater();
                button->click();
                return;
            }
        });
        poll->start(20);
    }
    QTableWidgetItem *cell(RecordGrid::Column column) const
    {
        return m_window->recordGrid()->item(0, int(column));
    }

    // Serves a request, running step once the web engine is up, since the record's map is asked for
    // then; a failed check ends the display.
    std::optional<QString> serve(const QString &request, const std::function<void()> &step)
    {
        const auto run = [this, step] {
            step();
            if (QTest::currentTestFailed())
                m_window->hide();
        };
        connect(m_window->browserPanel(), &BrowserPanel::engineReady, m_window.get(), run,
                Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        // Through a request file, as a calling program hands it over.
        const QString path = m_rig->dir.filePath(u"依頼Velmo.txt"_s);
        const QByteArray bytes = m_rig->codec.encode(request).value();
        if (!m_rig->files.writeAtomic(path, bytes))
            return u"<request not written>"_s;
        const SystemSpecialFolders folders;
        RequestSession session(m_rig->files, folders, m_rig->messages);
        if (session.open(path) != RequestSession::Opened::Ready)
            return u"<request not opened>"_s;
        session.serve(*m_window);
        const QByteArray after = m_rig->files.readAll(path).value_or("<unreadable>");
        if (after == bytes)
            return std::nullopt;
        return m_rig->codec.decode(after).value_or(u"<undecodable>"_s);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_server.start());
        m_server.addPage(u"/maps"_s, "<html><body>map</body></html>");
        m_server.addPage(u"/maps/object"_s, "<script>var gApplication = {getMap: () => ({getCenter: () => "
                                            "'(35.5, 139.5)'})};</script>");
        qputenv("VELMORA_MAP_BASE", m_server.base().toUtf8());
    }
    void init() { m_rig = std::make_unique<Rig>(); }
    void cleanup()
    {
        m_window.reset();
        m_rig.reset();
    }

    void keysRunTheirCommandsAlsoMidEdit()
    {
        QVERIFY(open());
        // F9's button is off at first; its key copies all the same, modifiers held or not.
        press(Qt::Key_F9, Qt::ControlModifier);
        QCOMPARE(m_rig->clipboard.content.value_or(u"<none>"_s), u"\t\t\t"_s);
        QCOMPARE(m_rig->messages.texts.size(), 1);
        // Typing opens the cell's editor; the record, and the F9 button, follow every keystroke.
        RecordGrid *grid = m_window->recordGrid();
        grid->setCurrentCell(0, int(RecordGrid::Column::Address));
        QTRY_VERIFY(grid->hasFocus());
        for (const char c : {'T', 'o', 'k', 'y', 'o'})
            QTest::keyClick(m_window->windowHandle(), c);
        QVERIFY(grid->indexWidget(grid->model()->index(0, int(RecordGrid::Column::Address))));
        QVERIFY(button(Command::CopyRecord)->isEnabled());
        press(Qt::Key_F9);
        QCOMPARE(m_rig->clipboard.content.value_or(u"<none>"_s), u"\tTokyo\t\t"_s);
        // F2 mid-edit clears the record for good: the editor gives back nothing when it closes.
        press(Qt::Key_F2);
        press(Qt::Key_Return);
        QCOMPARE(m_window->record(), AddressRecord());
        QCOMPARE(grid->currentColumn(), int(RecordGrid::Column::PostalCode));
        QVERIFY(!button(Command::CopyRecord)->isEnabled());
        press(Qt::Key_F10);
        QCOMPARE(m_rig->launcher.calls.size(), 1);
        QCOMPARE(m_rig->launcher.calls.first().target, u"file:///help/velmora.htm"_s);
    }

    void otherKeysRunNothing()
    {
        m_rig->completers.answer = [](AddressRecord &record) { record.address = u"found"_s; };
        QVERIFY(open());
        m_window->recordGrid()->showRecord({u"1"_s, u"2"_s, u"3"_s, u""_s});
        for (const Qt::Key key : {Qt::Key_F1, Qt::Key_F3, Qt::Key_F11, Qt::Key_Escape})
            press(key);
        QCOMPARE(m_window->record(), (AddressRecord{u"1"_s, u"2"_s, u"3"_s, u""_s}));
        QVERIFY(!button(Command::CaptureMapCentre)->isEnabled());
        QCOMPARE(m_rig->completers.searches, 0);
        QVERIFY(!m_rig->clipboard.content && m_rig->messages.texts.isEmpty() &&
                m_rig->launcher.calls.isEmpty());
        QVERIFY(m_window->isVisible());
    }

    void addressSearchWithoutCompleterStaysOff()
    {
        QVERIFY(open());
        m_window->recordGrid()->showRecord({u"100-0001"_s, {}, {}, {}});
        QVERIFY(!button(Command::AddressSearch)->isEnabled());
        press(Qt::Key_F4);
        QCOMPARE(m_window->statusText(0), QString());
        QVERIFY(m_rig->messages.texts.isEmpty());
    }

    void addressSearchFillsTheRecord()
    {
        m_rig->completers.answer = [](AddressRecord &record) {
            if (record.postalCode == u"100-0001"_s) {
                record.address = u"東京都千代田区千代田"_s;
                record.company = u"皇居"_s;
            }
        };
        QVERIFY(open());
        // Damaged data is still said once a search has found nothing.
        const QString damaged = u"郵便番号データ postal.idx が壊れています"_s;
        m_window->showWarning(damaged);
        press(Qt::Key_F4);
        QCOMPARE(m_window->statusText(0), u"対象が見つかりません"_s);
        QCOMPARE(m_window->statusText(1), damaged);
        m_window->recordGrid()->setCell(RecordGrid::Column::PostalCode, u"fail"_s);
        press(Qt::Key_F4);
        QCOMPARE(m_rig->messages.texts.size(), 1);
        QCOMPARE(m_window->record().address, QString());
        m_window->recordGrid()->setCell(RecordGrid::Column::PostalCode, u"100-0001"_s);
        press(Qt::Key_F4);
        QCOMPARE(m_window->record(),
                 (AddressRecord{u"100-0001"_s, u"東京都千代田区千代田"_s, u"皇居"_s, {}}));
        QVERIFY(button(Command::CopyRecord)->isEnabled());
        QCOMPARE(m_window->statusText(0), QString()); // the earlier "not found" no longer stands
        QCOMPARE(m_window->recordGrid()->currentColumn(), int(RecordGrid::Column::Company));
        // An answer that is only the city's code is said so until another search answers.
        m_rig->completers.note = CompletionNote::CityCodeOnly;
        press(Qt::Key_F4);
        QCOMPARE(m_window->statusText(0), u"町域が見つからないため市区町村の郵便番号です"_s);
        m_rig->completers.note = CompletionNote::None;
        press(Qt::Key_F4);
        QCOMPARE(m_window->statusText(0), QString());
        // A typed address the code overrules is said to be gone.
        m_window->recordGrid()->setCell(RecordGrid::Column::Address, u"東京都中央区銀座"_s);
        press(Qt::Key_F4);
        QCOMPARE(m_window->statusText(0), u"住所を郵便番号の住所に置き換えました"_s);
        // Several answers: the user's choice is the one shown; a cancel leaves the grid and says so.
        m_rig->completers.choices = {{u"一"_s, {u"452-0961"_s, u"愛知県清須市春日一"_s, {}, {}}, {}},
                                     {u"二"_s, {u"452-0961"_s, u"愛知県清須市春日二"_s, {}, {}}, {}}};
        m_rig->chooser.answer = 1;
        press(Qt::Key_F4);
        QCOMPARE(m_rig->chooser.shown, (QStringList{u"一"_s, u"二"_s}));
        QCOMPARE(m_window->record().address, u"愛知県清須市春日二"_s);
        m_rig->chooser.answer.reset();
        m_window->recordGrid()->setCell(RecordGrid::Column::Address, u"typed"_s);
        press(Qt::Key_F4);
        QCOMPARE(m_window->record().address, u"typed"_s);
        QCOMPARE(m_window->statusText(0), u"候補の選択を取り消しました"_s);
        QCOMPARE(m_rig->completers.searches, 8);
    }

    void pastedRowFillsTheCellsItCovers()
    {
        QVERIFY(open());
        RecordGrid *grid = m_window->recordGrid();
        grid->setCurrentCell(0, int(RecordGrid::Column::Address));
        QTRY_VERIFY(grid->hasFocus());
        m_rig->clipboard.content = u"東京都千代田区千代田\t皇居\r\n"_s; // a spreadsheet's row
        press(Qt::Key_V, Qt::ControlModifier);
        const AddressRecord pasted{{}, u"東京都千代田区千代田"_s, u"皇居"_s, {}};
        QCOMPARE(m_window->record(), pasted);
        // More fields than cells to the right, or several rows: refused whole, with a word.
        for (const QString &refused : {u"a\tb\tc\td\r\n"_s, u"a\r\nb\r\n"_s}) {
            m_rig->clipboard.content = refused;
            press(Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(m_window->record(), pasted);
        QCOMPARE(m_rig->messages.texts.size(), 2);
        // In a cell's editor one field goes where the cursor is.
        grid->setCurrentCell(0, int(RecordGrid::Column::PostalCode));
        QTest::keyClick(m_window->windowHandle(), '1');
        m_rig->clipboard.content = u"00-0001"_s;
        press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_window->record().postalCode, u"100-0001"_s);
        // F9 never copies a line whose field holds a tab: it would land in the wrong column.
        grid->setCell(RecordGrid::Column::Company, u"皇\t居"_s);
        press(Qt::Key_F9);
        QCOMPARE(m_rig->clipboard.content.value_or(QString()), u"00-0001"_s);
        QCOMPARE(m_rig->messages.texts.size(), 3);
    }

    void chooserNarrowsByAnyPartOfTownOrReading()
    {
        CandidateDialog dialog;
        QStringList towns;
        for (int i = 0; i < 30; ++i)
            towns.append(u"愛知県清須市春日町%1　カスガチョウ%1"_s.arg(i));
        towns.insert(17, u"愛知県清須市春日落合　カスガオチアイ"_s);
        std::optional<qsizetype> chosen;
        QTimer::singleShot(0, &dialog, [&] {
            const auto *list = dialog.findChild<QListWidget *>();
            QVERIFY(list->height() >= CandidateDialog::kVisibleRows * list->sizeHintForRow(0));
            QInputMethodEvent typed; // as an input method commits what the user typed
            typed.setCommitString(u"おちあい"_s);
            QApplication::sendEvent(dialog.findChild<QLineEdit *>(), &typed);
            QCOMPARE(list->currentItem()->text(), towns[17]);
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        chosen = dialog.choose(towns);
        QCOMPARE(chosen.value_or(-1), 17);
    }

    void addressSearchWhileLoadingWaitsForTheData()
    {
        m_rig->completers.ready = false;
        m_rig->completers.answer = [](AddressRecord &record) { record.address = u"東京都千代田区千代田"_s; };
        QVERIFY(open());
        const QStatusBar *statusBar = m_window->findChild<QStatusBar *>();
        m_window->recordGrid()->setCell(RecordGrid::Column::PostalCode, u"100-0001"_s);
        press(Qt::Key_F4);
        QCOMPARE(m_window->statusText(0), u"郵便番号データを読み込んでいます…"_s);
        QCOMPARE(m_rig->completers.searches, 0);
        // The search takes the record as the grid holds it when the data comes.
        m_window->recordGrid()->setCell(RecordGrid::Column::Company, u"皇居"_s);
        // Ready while a dialog is open: the search waits until it is closed.
        QDialog dialog(m_window.get());
        bool searchedUnderTheDialog = true;
        QTimer::singleShot(0, &dialog, [&] {
            m_rig->completers.ready = true;
            m_rig->completers.onReady();
            QTimer::singleShot(300, &dialog, [&] {
                searchedUnderTheDialog = m_rig->completers.searches > 0;
                dialog.accept();
            });
        });
        dialog.exec();
        QVERIFY(!searchedUnderTheDialog);
        QTRY_COMPARE(m_window->record(),
                     (AddressRecord{u"100-0001"_s, u"東京都千代田区千代田"_s, u"皇居"_s, {}}));
        QCOMPARE(m_window->statusText(0), QString());
        QCOMPARE(statusBar->toolTip(), u"郵便番号データ 2026-05-29"_s);
        QCOMPARE(m_window->statusText(1), QString());
    }

    void postalDataUpdatedFromTheStatusBar()
    {
        m_rig->completers.answer = [](AddressRecord &) {};
        QString asked;
        int reloads = 0;
        QList<Fetcher::Result> fetched{{Fetcher::Failure::NotFound, {}, {}}};
        const QString shipped = QStringLiteral(VELMORA_JAPAN_POST_DOWNLOADS);
        const auto bytes = [&](const QString &name) {
            return *m_rig->files.readAll(shipped + name, 1 << 24);
        };
        m_rig->postalUpdate = {&m_rig->files,
                               QStringLiteral(VELMORA_POSTAL_DATA),
                               m_rig->dir.path(),
                               [&reloads] { ++reloads; },
                               [&fetched] { return std::make_unique<QueuedFetcher>(fetched); },
                               [&asked](const QString &question) {
                                   asked = question;
                                   return true;
                               }};
        QVERIFY(open());
        const QList<QAction *> actions = m_window->findChild<QStatusBar *>()->actions();
        QCOMPARE(actions.size(), 1);
        actions.front()->trigger();
        QVERIFY(asked.contains(u"https://www.post.japanpost.jp/zipcode/dl/utf/zip/utf_ken_all.zip"_s));
        QTRY_COMPARE(m_rig->messages.texts.size(), 1);
        QVERIFY(m_rig->messages.texts.front().contains(u"（404）。郵便番号データは変わっていません"_s));
        QCOMPARE(reloads, 0);
        QCOMPARE(QDir(m_rig->dir.path()).entryList({u"*.zip"_s}), QStringList());
        // A later month's files, one town fewer: sound, and in use from now on.
        QByteArray towns = *ZipEntryReader::read(bytes(u"/utf_ken_all.zip"_s), u"utf_ken_all.csv"_s, 1 << 26);
        towns.remove(0, towns.indexOf('\n') + 1);
        fetched = {{Fetcher::Failure::None, zipOf({{"utf_ken_all.csv", towns}}, QDate(2026, 11, 27)), {}},
                   {Fetcher::Failure::None, bytes(u"/jigyosyo.zip"_s), {}}};
        actions.front()->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->messages.texts.size(), 2, 120000);
        QVERIFY2(
            m_rig->messages.texts.back().startsWith(u"郵便番号データを 2026-11-27 のものに更新しました"_s),
            qPrintable(m_rig->messages.texts.back()));
        QCOMPARE(reloads, 1);
        QTRY_VERIFY(m_window->findChildren<QProgressDialog *>().isEmpty());
    }

    void oldDataIsSaidInTheWarningPanel()
    {
        m_rig->today = QDate(2026, 12, 8);
        m_rig->completers.answer = [](AddressRecord &) {};
        QVERIFY(open());
        QTRY_VERIFY(
            m_window->statusText(1).startsWith(u"郵便番号データ（2026-05-29）が古くなっています（"_s));
        QCOMPARE(m_window->findChild<QStatusBar *>()->toolTip(), u"郵便番号データ 2026-05-29"_s);
    }

    void addressSearchWaitingForTheDataInARequest()
    {
        m_rig->completers.ready = false;
        m_rig->completers.answer = [](AddressRecord &record) { record.address = u"東京都千代田区千代田"_s; };
        QVERIFY(open(false));
        const auto served = serve(u"VelmoraA\t100-0001\t\t会社\t\t"_s, [&] {
            press(Qt::Key_F4);
            m_rig->completers.ready = true;
            m_rig->completers.onReady();
            // The request's own window, modal as it is, is no dialog for the search to wait for.
            QTRY_COMPARE(m_window->record().address, u"東京都千代田区千代田"_s);
            press(Qt::Key_F9);
        });
        QCOMPARE(served.value_or(QString()), u"VelmoraA\t100-0001\t東京都千代田区千代田\t会社\t\t0"_s);
    }

    void mapKeysShowTheirQuery_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("url");
        QTest::newRow("F5 address") << int(Qt::Key_F5) << MapQuery::forSearch(u"東京都 千代田区"_s);
        QTest::newRow("F6 postal code") << int(Qt::Key_F6) << MapQuery::forPostalCode(u"100-0001"_s);
        QTest::newRow("F7 company") << int(Qt::Key_F7) << MapQuery::forSearch(u"皇居 東京都 千代田区"_s);
    }
    void mapKeysShowTheirQuery()
    {
        QFETCH(int, key);
        QFETCH(QString, url);
        QVERIFY(open());
        m_window->recordGrid()->showRecord({u"100-0001"_s, u"東京都 千代田区"_s, u"皇居"_s, {}});
        press(Qt::Key(key));
        QVERIFY(button(Command::CaptureMapCentre)->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(m_window->browserPanel()->currentUrl(), url, kWebTimeout);
    }

    void mapKeysWithNothingToSearchSaySo()
    {
        QVERIFY(open());
        const QString before = m_window->browserPanel()->currentUrl();
        for (const Qt::Key key : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7}) {
            press(key);
            QVERIFY2(m_window->statusText(0).contains(u"空のため"_s), qPrintable(m_window->statusText(0)));
        }
        QCOMPARE(m_window->browserPanel()->currentUrl(), before);
        QVERIFY(!button(Command::CaptureMapCentre)->isEnabled());
    }

    // F8 at once, while the page is still on its way: asked once it has loaded.
    void mapCentreKeyWaitsForThePage_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("status");
        QTest::newRow("map") << u"/maps/object"_s << QString();
        QTest::newRow("no map") << u"/maps"_s << u"地図の中心が見つかりません"_s;
    }
    void mapCentreKeyWaitsForThePage()
    {
        QFETCH(QString, path);
        QFETCH(QString, status);
        QVERIFY(open());
        m_window->browserPanel()->setUrl(m_server.base() + path);
        press(Qt::Key_F8);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->statusText(0), status, kWebTimeout);
        if (!status.isEmpty()) {
            QVERIFY(!m_window->findChild<PromptDialog *>());
            return;
        }
        PromptDialog *box = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(box = m_window->findChild<PromptDialog *>(), kWebTimeout);
        QCOMPARE(box->value(), u"(35.5, 139.5)"_s);
        QCOMPARE(QApplication::activeModalWidget(), box);
        // OK without the copy the box asks for takes nothing, and says so.
        QVERIFY(box->message().contains(u"Ctrl+C"_s));
        box->accept();
        QTRY_COMPARE(m_window->statusText(0), u"位置がコピーされなかったため、MAP URL は変わっていません"_s);
        QCOMPARE(m_window->record().mapUrl, QString());
    }

    void placeIsKeptBetweenRuns()
    {
        QVERIFY(open());
        // As wide as it may be on the test's narrow screen.
        const QRect place(64, 48, m_window->minimumWidth(), 400);
        m_window->setGeometry(place);
        QTRY_COMPARE(m_window->geometry(), place);
        const QRect outer = m_window->frameGeometry();
        const double dpi = m_window->dpi();
        press(Qt::Key_F12);
        QVERIFY(!m_window->isVisible());
        const auto twips = [dpi](int pixels) { return Twips::fromPixels(pixels, dpi); };
        const QString keys =
            u"      <TOP>%1</TOP>\r\n      <LEFT>%2</LEFT>\r\n"
            u"      <WIDTH>%3</WIDTH>\r\n      <HEIGHT>%4</HEIGHT>\r\n"_s.arg(twips(outer.y()))
                .arg(twips(outer.x()))
                .arg(twips(outer.width()))
                .arg(twips(outer.height()));
        QVERIFY2(m_rig->settingsBytes().contains(keys.toLatin1()), m_rig->settingsBytes().constData());
        QVERIFY(open());
        QTRY_COMPARE(m_window->frameGeometry(), outer);
    }

    // Narrowed to its least, every button is whole on the window; widened, the 住所 column takes it all.
    void layoutFollowsTheWidth()
    {
        QVERIFY(open());
        RecordGrid *grid = m_window->recordGrid();
        const auto widths = [grid] {
            QList<int> w;
            for (int c = 0; c < grid->columnCount(); ++c)
                w.append(grid->columnWidth(c));
            return w;
        };
        m_window->resize(m_window->minimumSize());
        QTRY_COMPARE(m_window->size(), m_window->minimumSize());
        QVERIFY(m_window->minimumWidth() < Twips::toPixels(WindowDesign::kClient.width(), m_window->dpi()));
        for (size_t i = 0; i < kCommands.size(); ++i) {
            const QRect place = button(kCommands[i].command)->geometry();
            // The design sets the row a twip or two past the window's edges.
            QVERIFY2(m_window->rect().adjusted(-2, -2, 2, 2).contains(place), qPrintable(QString::number(i)));
            // Neighbours may share a pixel column where twips round to pixels, no more.
            if (i > 0)
                QVERIFY(place.left() >= button(kCommands[i - 1].command)->geometry().right());
        }
        const int designWidth = Twips::toPixels(WindowDesign::kClient.width(), m_window->dpi());
        m_window->resize(designWidth, m_window->height());
        QTRY_COMPARE(m_window->width(), designWidth);
        const QList<int> narrow = widths();
        m_window->resize(designWidth + 300, m_window->height());
        QTRY_COMPARE(grid->columnWidth(int(RecordGrid::Column::Address)),
                     narrow[int(RecordGrid::Column::Address)] + 300);
        QList<int> wide = widths();
        wide[int(RecordGrid::Column::Address)] -= 300;
        QCOMPARE(wide, narrow);
    }

    // A stored place is taken as it is where it lies on a screen; otherwise it is brought onto one.
    void storedPlace_data()
    {
        QTest::addColumn<QRect>("stored"); // in pixels of 96 DPI, the outer rectangle
        QTest::addColumn<QRect>("shown");  // the outer rectangle; empty: the design's size
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::newRow("width zero keeps the design size") << QRect(60, 60, 0, 333) << QRect();
        QTest::newRow("a size beyond every screen") << QRect(0, 0, 66666, 66666) << screen;
        QTest::newRow("a place on a screen unplugged since")
            << QRect(screen.right() + 100, 60, screen.width(), 300)
            << QRect(screen.left(), 60, screen.width(), 300);
    }
    void storedPlace()
    {
        QFETCH(QRect, stored);
        QFETCH(QRect, shown);
        const auto twips = [](int pixels) { return pixels * 15; };
        QVERIFY(m_rig->files.writeText(
            m_rig->settingsPath(),
            u"<?xml version='1.0' encoding='Shift-JIS' ?>\r\n<運用>\r\n   <位置>\r\n"
            u"      <TOP>%1</TOP>\r\n      <LEFT>%2</LEFT>\r\n      <WIDTH>%3</WIDTH>\r\n"
            u"      <HEIGHT>%4</HEIGHT>\r\n   </位置>\r\n</運用>"_s.arg(twips(stored.top()))
                .arg(twips(stored.left()))
                .arg(twips(stored.width()))
                .arg(twips(stored.height()))));
        QVERIFY(open());
        const double dpi = m_window->dpi();
        QCOMPARE(dpi, 96.0);
        // The design's size, as far as the screen has room, frame and all: the test's screen is narrower.
        if (shown.isEmpty())
            QTRY_COMPARE(m_window->frameGeometry().size(),
                         Twips::toPixels(WindowDesign::kClient, dpi, dpi)
                             .boundedTo(QGuiApplication::primaryScreen()->availableGeometry().size()));
        else
            QTRY_COMPARE(m_window->frameGeometry(), shown);
    }

    // Where nothing will be saved, the status bar says so for as long as the program runs.
    void settingsThatCannotBeSavedSaySo()
    {
        QVERIFY(QDir(m_rig->dir.path()).mkdir(u"User.xml"_s));
        QVERIFY(!open());
        QCOMPARE(m_window->statusText(1), u"User.xml は通常のファイルではないため設定を保存しません"_s);
    }

    // How a request ends: the answer handed back, if any, and whether the window's place was saved
    // (after the program's shutDown, as at the end of a request).
    void requestEnds_data()
    {
        QTest::addColumn<int>("key"); // 0: the close box
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("placeSaved");
        QTest::newRow("F9 accepts") << int(Qt::Key_F9) << u"VelmoraA\t100-0001\t\t新社\t\t1"_s << false;
        QTest::newRow("F12 cancels") << int(Qt::Key_F12) << QString() << false;
        QTest::newRow("close box cancels") << 0 << QString() << true;
    }
    void requestEnds()
    {
        QFETCH(int, key);
        QFETCH(QString, answer);
        QFETCH(bool, placeSaved);
        QVERIFY(open(false));
        const auto served = serve(u"VelmoraA\t100-0001\t\t会社\t\t"_s, [&] {
            // The requested place is shown at once, and F8 can take its centre.
            QTRY_COMPARE_WITH_TIMEOUT(m_window->browserPanel()->currentUrl(),
                                      MapQuery::forPostalCode(u"100-0001"_s), kWebTimeout);
            QVERIFY(button(Command::CaptureMapCentre)->isEnabled());
            cell(RecordGrid::Column::Company)->setText(u"新社"_s);
            if (key)
                press(Qt::Key(key));
            else
                m_window->close();
        });
        QCOMPARE(served.value_or(QString()), answer);
        m_window->shutDown();
        QCOMPARE(m_rig->settingsBytes().contains("<HEIGHT>"), placeSaved);
    }

    void answerThatCannotBeWrittenKeepsTheRequestOpen_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("named"); // what the message names
        QTest::newRow("not CP932") << u"𠮷野家"_s << u"「𠮷」"_s;
        QTest::newRow("tab") << u"吉野\t0\t家"_s << u"タブや改行"_s;
        QTest::newRow("line break") << u"吉野\r\n家"_s << u"タブや改行"_s;
    }
    void answerThatCannotBeWrittenKeepsTheRequestOpen()
    {
        QFETCH(QString, company);
        QFETCH(QString, named);
        QVERIFY(open(false));
        const auto served = serve(u"VelmoraA\t\t\t\t\t"_s, [&] {
            cell(RecordGrid::Column::Company)->setText(company);
            press(Qt::Key_F9);
            QVERIFY(m_window->isVisible());
            QCOMPARE(m_rig->messages.texts.size(), 1);
            QVERIFY2(m_rig->messages.texts.first().contains(named),
                     qPrintable(m_rig->messages.texts.first()));
            cell(RecordGrid::Column::Company)->setText(u"吉野家"_s);
            press(Qt::Key_F9);
        });
        QCOMPARE(served.value_or(u"<none>"_s), u"VelmoraA\t\t\t吉野家\t\t1"_s);
    }

    void droppedListIsDoneBesideIt()
    {
        m_rig->giveData();
        QVERIFY(open());
        const AddressRecord shown{u"1"_s, u"2"_s, u"3"_s, u"4"_s};
        m_window->recordGrid()->showRecord(shown);
        const QString input = m_rig->dir.filePath(u"名簿.csv"_s);
        QVERIFY(m_rig->files.writeAtomic(
            input, m_rig->codec.encode(u"郵便番号,住所\r\n,東京都千代田区千代田1-1\r\n"_s).value()));
        // A folder, or two files at once, is refused with a word.
        QVERIFY(dropOnGrid({m_rig->dir.path()}));
        QTRY_COMPARE(m_rig->messages.texts.size(), 1);
        QVERIFY(dropOnGrid({input, input}));
        QTRY_COMPARE(m_rig->messages.texts.size(), 2);
        QVERIFY(m_rig->messages.texts.first().contains(u".csv .tsv .txt"_s));

        QString summary;
        answerNextDialog(u"フォルダーを開く"_s, &summary);
        QVERIFY(dropOnGrid({input}));
        const QString output = m_rig->dir.filePath(u"名簿_velmora.csv"_s);
        QTRY_COMPARE(m_rig->fileManager.shown, QStringList{output});
        const QByteArray done =
            m_rig->codec
                .encode(u"郵便番号,住所,照合結果,候補\r\n100-0001,東京都千代田区千代田1-1,補完,\r\n"_s)
                .value();
        QCOMPARE(m_rig->files.readAll(output).value_or("<none>"), done);
        QVERIFY2(summary.contains(u"補完 1"_s) && summary.contains(QDir::toNativeSeparators(output)),
                 qPrintable(summary));
        QCOMPARE(m_window->record(), shown);

        // The earlier output is replaced only when the user says so.
        QString question;
        answerNextDialog(u"キャンセル"_s, &question);
        QVERIFY(m_rig->files.writeAtomic(output, "kept"));
        QVERIFY(dropOnGrid({input}));
        QTRY_VERIFY(question.contains(u"置き換えますか"_s));
        QCOMPARE(m_rig->files.readAll(output).value_or("<none>"), QByteArray("kept"));
        QCOMPARE(m_rig->messages.texts.size(), 3);
        QCOMPARE(m_rig->messages.texts.last(), u"処理しませんでした。以前の出力ファイルはそのままです"_s);

        // A folder where the output goes is said at once, with no question to replace it.
        QString asked;
        answerNextDialog(u"キャンセル"_s, &asked);
        QVERIFY(QFile::remove(output) && QDir().mkdir(output));
        QVERIFY(dropOnGrid({input}));
        QTRY_COMPARE(m_rig->messages.texts.size(), 4);
        QVERIFY2(m_rig->messages.texts.last().contains(u"フォルダーです"_s),
                 qPrintable(m_rig->messages.texts.last()));
        QCOMPARE(asked, QString());
    }

    void longRowsShowTheirProgressAndStop()
    {
        // Rows of 500,000 fields, with the data there: the progress shows by the time gone, and its
        // キャンセル stops the list between two rows with nothing left behind.
        m_rig->giveData();
        QVERIFY(open());
        const QString input = m_rig->dir.filePath(u"名簿.csv"_s);
        QVERIFY(writeLongRowsList(input, 32));
        QString progress;
        answerNextDialog(u"キャンセル"_s, &progress);
        QVERIFY(dropOnGrid({input}));
        QTRY_COMPARE_WITH_TIMEOUT(m_rig->messages.texts,
                                  QStringList{u"中断しました。出力ファイルは作っていません"_s}, 60000);
        QVERIFY2(progress.contains(u"名簿.csv"_s), qPrintable(progress));
        QCOMPARE(QDir(m_rig->dir.path()).entryList({u"*名簿*"_s}, QDir::Files | QDir::Hidden),
                 QStringList{u"名簿.csv"_s});
    }

    void cancelledListLeavesNoOutput()
    {
        // The data never comes: the list waits for it under the progress dialog until cancelled.
        QVERIFY(open());
        const QString input = m_rig->dir.filePath(u"名簿.csv"_s);
        QVERIFY(m_rig->files.writeAtomic(input, "\xE3\x80\x92,x\n,x\n"));
        QString progress;
        answerNextDialog(u"キャンセル"_s, &progress);
        QVERIFY(dropOnGrid({input}));
        QTRY_COMPARE(m_rig->messages.texts, QStringList{u"中断しました。出力ファイルは作っていません"_s});
        QVERIFY2(progress.contains(u"郵便番号データを読み込んでいます"_s), qPrintable(progress));
        QCOMPARE(QDir(m_rig->dir.path()).entryList({u"*名簿*"_s}, QDir::Files | QDir::Hidden),
                 QStringList{u"名簿.csv"_s});

        // With an earlier output, to be replaced: the cancel says it is there as it was.
        const QString output = m_rig->dir.filePath(u"名簿_velmora.csv"_s);
        QVERIFY(m_rig->files.writeAtomic(output, "kept"));
        QString question;
        answerNextDialog(u"置き換える"_s, &question);
        QVERIFY(dropOnGrid({input}));
        QTRY_VERIFY(question.contains(u"置き換えますか"_s));
        answerNextDialog(u"キャンセル"_s, &progress);
        QTRY_COMPARE(m_rig->messages.texts.size(), 2);
        QCOMPARE(m_rig->messages.texts.last(), u"中断しました。以前の出力ファイルはそのままです"_s);
        QCOMPARE(m_rig->files.readAll(output).value_or("<none>"), QByteArray("kept"));
    }

    void headerlessListIsRunWithTheColumnsChosen()
    {
        // No header: the window asks for the columns, as --code-column 2 --address-column 3 gives them.
        m_rig->giveData();
        QVERIFY(open());
        const QString input = m_rig->dir.filePath(u"名簿.csv"_s);
        QVERIFY(m_rig->files.writeAtomic(
            input, m_rig->codec.encode(u"山田,,東京都千代田区千代田1-1\r\n佐藤,100-0001,\r\n"_s).value()));
        QString shown;
        auto *poll = new QTimer(m_window.get());
        connect(poll, &QTimer::timeout, poll, [poll, &shown] {
            QWidget *dialog = QApplication::activeModalWidget();
            auto *address = dialog ? dialog->findChild<QListWidget *>() : nullptr;
            if (!address || !dialog->isVisible())
                return;
            poll->deleteLater();
            shown = dialog->findChild<QTableWidget *>()->item(1, 0)->text();
            for (QWidget *widget : dialog->findChildren<QWidget *>())
                if (widget->inherits("QComboBox"))
                    widget->setProperty("currentIndex", 2);
            address->item(2)->setCheckState(Qt::Checked);
            for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
                if (button->text() == u"OK"_s)
                    button->click();
        });
        poll->start(20);
        QString summary;
        answerNextDialog(u"閉じる"_s, &summary);
        QVERIFY(dropOnGrid({input}));
        QTRY_VERIFY2(summary.contains(u"補完 2"_s), qPrintable(summary));
        QCOMPARE(shown, u"佐藤"_s);
        const QByteArray done = m_rig->codec
                                    .encode(u"山田,100-0001,東京都千代田区千代田1-1,補完,\r\n"
                                            u"佐藤,100-0001,東京都千代田区千代田,補完,\r\n"_s)
                                    .value();
        QCOMPARE(m_rig->files.readAll(m_rig->dir.filePath(u"名簿_velmora.csv"_s)).value_or("<none>"), done);
    }

    void headerlessListCancelledLeavesNoOutput()
    {
        QVERIFY(open());
        const QString input = m_rig->dir.filePath(u"名簿.csv"_s);
        QVERIFY(m_rig->files.writeAtomic(input, "a,b\n1,2\n"));
        QString asked;
        answerNextDialog(u"キャンセル"_s, &asked);
        QVERIFY(dropOnGrid({input}));
        QTRY_COMPARE(m_rig->messages.texts,
                     QStringList{u"処理しませんでした。出力ファイルは作っていません"_s});
        QVERIFY2(asked.contains(u"見出し"_s), qPrintable(asked));
        QCOMPARE(QDir(m_rig->dir.path()).entryList({u"*名簿*"_s}, QDir::Files | QDir::Hidden),
                 QStringList{u"名簿.csv"_s});
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
