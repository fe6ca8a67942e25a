#include "ui/WindowStatusBar.h"

#include "address/PostalDataAge.h"
#include "core/Twips.h"
#include "ui/StatusPanel.h"
#include "ui/WindowDesign.h"

#include <QLabel>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr size_t kWarningPanel = 1;
// Warnings side by side in their panel.
constexpr QChar kBetweenWarnings = u'　';
const QString kHowToUpdate = u"ステータスバーを右クリックして更新できます"_s;

} // namespace

WindowStatusBar::WindowStatusBar(const QFont &font, double dpi, QWidget *parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    QFont statusFont = font;
    statusFont.setPointSizeF(9.75);
    setFont(statusFont);
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setMinimumWidth(Twips::toPixels(WindowDesign::kStatusPanelMinWidth, dpi));
        if (i == 0)
            addWidget(m_panels[i], 1);
        else
            addPermanentWidget(m_panels[i]);
    }
    m_commandPanel = std::make_unique<StatusPanel>(*m_panels[0]);
}

WindowStatusBar::~WindowStatusBar() = default;

void WindowStatusBar::setWarnings(const QStringList &warnings)
{
    QLabel *panel = m_panels[kWarningPanel];
    panel->setText(warnings.join(kBetweenWarnings));
    // A narrow window may cut the panel short.
    panel->setToolTip(panel->text());
}

void WindowStatusBar::showWarning(const QString &text)
{
    QStringList warnings = m_panels[kWarningPanel]->text().split(kBetweenWarnings, Qt::SkipEmptyParts);
    if (warnings.contains(text))
        return;
    setWarnings(warnings << text);
}

void WindowStatusBar::showDataDate(const QString &date, QDate today)
{
    setToolTip(date.isEmpty() ? QString() : u"郵便番号データ "_s + date);
    // Data updated since is old no more.
    QStringList warnings = m_panels[kWarningPanel]->text().split(kBetweenWarnings, Qt::SkipEmptyParts);
    warnings.removeAll(std::exchange(m_oldDataWarning, QString()));
    setWarnings(warnings);
    if (const auto old = PostalDataAge::staleWarning(date, today, kHowToUpdate)) {
        m_oldDataWarning = *old;
        showWarning(*old);
    }
}

QString WindowStatusBar::text(int panel) const
{
    return m_panels.at(size_t(panel))->text();
}
