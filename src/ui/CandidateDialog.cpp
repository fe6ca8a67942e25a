#include "ui/CandidateDialog.h"

#include "address/PostalText.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

// Where each row came from in the list as given.
constexpr int kIndexRole = Qt::UserRole;

// Text as the filter compares it: as the address search folds it (widths, kana forms, variant kanji),
// and hiragana as katakana, since readings are written in katakana and typed in hiragana.
QString folded(const QString &text)
{
    QString kana = text;
    for (QChar &c : kana)
        if (c.unicode() >= 0x3041 && c.unicode() <= 0x3096)
            c = QChar(c.unicode() + 0x60);
    const PostalText::Folded out = PostalText::folded(kana);
    return QString::fromUtf16(out.constData(), out.size()).toCaseFolded();
}

} // namespace

CandidateDialog::CandidateDialog(QWidget *parent)
    : QDialog(parent), m_filter(new QLineEdit(this)), m_list(new QListWidget(this))
{
    setWindowTitle(u"住所の候補"_s);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(u"OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_s);
    auto *label = new QLabel(u"絞り込み(&F):"_s, this);
    label->setBuddy(m_filter);
    m_filter->setPlaceholderText(u"町域名や読みの一部"_s);
    m_filter->setClearButtonEnabled(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(m_filter, &QLineEdit::textChanged, this, &CandidateDialog::filter);
    // Up and down in the filter move through the list, so that the hands stay on the keys.
    m_filter->installEventFilter(this);
}

void CandidateDialog::filter(const QString &text)
{
    const QString wanted = folded(text.trimmed());
    QListWidgetItem *firstShown = nullptr;
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        const bool shown = wanted.isEmpty() || folded(item->text()).contains(wanted);
        item->setHidden(!shown);
        if (shown && !firstShown)
            firstShown = item;
    }
    if (!m_list->currentItem() || m_list->currentItem()->isHidden())
        m_list->setCurrentItem(firstShown);
}

bool CandidateDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_list, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<qsizetype> CandidateDialog::choose(const QStringList &candidates)
{
    m_filter->clear();
    m_list->clear();
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        auto *item = new QListWidgetItem(candidates[i], m_list);
        item->setData(kIndexRole, i);
    }
    m_list->setCurrentRow(0);
    const int rowHeight = std::max(m_list->sizeHintForRow(0), fontMetrics().height());
    const int listHeight = rowHeight * kVisibleRows + 2 * m_list->frameWidth();
    const int rest = sizeHint().height() - m_list->sizeHint().height();
    const QScreen *shownOn = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QSize room = shownOn ? shownOn->availableGeometry().size() * 0.9 : QSize(4096, 4096);
    resize(std::clamp(m_list->sizeHintForColumn(0) + 4 * rowHeight, 480, room.width()),
           std::min(rest + listHeight, room.height()));
    m_filter->setFocus();
    const QListWidgetItem *chosen = exec() == QDialog::Accepted ? m_list->currentItem() : nullptr;
    if (!chosen || chosen->isHidden())
        return std::nullopt;
    return chosen->data(kIndexRole).toLongLong();
}
