#include "ui/PostalUpdateAction.h"

#include "core/MessageSink.h"
#include "ui/PlainMessageBox.h"
#include "ui/Question.h"
#include "update/NetworkFetcher.h"
#include "update/PostalUpdate.h"

#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

} // namespace

PostalUpdateAction::PostalUpdateAction(PostalUpdateSetup setup, MessageSink &messages, QWidget &window)
    : QObject(&window), m_setup(std::move(setup)), m_messages(messages), m_window(window)
{
}

PostalUpdateAction::~PostalUpdateAction() = default;

QString PostalUpdateAction::question() const
{
    const QList<QUrl> sources = PostalUpdate::sources();
    return u"日本郵便の最新の郵便番号データをダウンロードします。\n\n"
           u"町域: %1\n事業所: %2\n\n"
           u"確かめたうえでユーザーデータフォルダ（%3）に置き、以後の検索に使います。"
           u"使えないファイルなら、いまのデータのままです。"_s.arg(
               sources.value(0).toString(), sources.value(1).toString(),
               QDir::toNativeSeparators(m_setup.userFolder));
}

void PostalUpdateAction::run()
{
    if (m_update || !m_setup.files)
        return;
    if (m_setup.userFolder.isEmpty())
        return m_messages.show(u"ユーザーデータフォルダがないため郵便番号データを更新できません"_s);
    const QString asked = question();
    if (!(m_setup.confirm ? m_setup.confirm(asked) : askToGoOn(m_window, asked, u"ダウンロード"_s)))
        return;
    m_fetcher = m_setup.fetcher ? m_setup.fetcher() : std::make_unique<NetworkFetcher>();
    m_update =
        std::make_unique<PostalUpdate>(*m_fetcher, *m_setup.files, m_setup.shippedPath, m_setup.userFolder);
    m_progress =
        new QProgressDialog(u"郵便番号データをダウンロードしています…"_s, u"キャンセル"_s, 0, 0, &m_window);
    m_progress->setWindowTitle(PlainMessageBox::kTitle);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    connect(m_progress, &QProgressDialog::canceled, m_update.get(), &PostalUpdate::cancel);
    connect(m_update.get(), &PostalUpdate::progress, m_progress,
            [dialog = m_progress](const QString &file, qint64 received, qint64 total) {
                dialog->setLabelText(
                    u"%1 をダウンロードしています…（%2 KB）"_s.arg(file).arg(received >> 10));
                dialog->setMaximum(int(std::max<qint64>(total >> 10, 0)));
                dialog->setValue(int(received >> 10));
            });
    // Once both files are here they are checked and replaced whole: nothing is left to cancel.
    connect(m_update.get(), &PostalUpdate::checking, m_progress, [dialog = m_progress] {
        dialog->setCancelButton(nullptr);
        dialog->setMaximum(0);
        dialog->setLabelText(u"ダウンロードしたファイルを確かめています…"_s);
    });
    connect(m_update.get(), &PostalUpdate::finished, this, &PostalUpdateAction::finish);
    m_progress->show();
    m_update->start();
}

void PostalUpdateAction::finish(bool installed, const QString &text)
{
    // Not at once: the dialog's own cancel may be what ended the update.
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
    }
    // Not from inside its own signal.
    m_update.release()->deleteLater();
    m_fetcher.release()->deleteLater();
    if (installed && m_setup.reload) {
        m_setup.reload();
        emit updated();
    }
    m_messages.show(text);
}

void PostalUpdateAction::offerIn(QWidget &place)
{
    auto *update = new QAction(u"郵便番号データを更新…"_s, &place);
    connect(update, &QAction::triggered, this, &PostalUpdateAction::run);
    place.addAction(update);
    place.setContextMenuPolicy(Qt::ActionsContextMenu);
}
