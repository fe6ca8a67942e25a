#include "ui/PromptDialog.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

PromptDialog::PromptDialog(const QString &message, const QString &value, QWidget *parent)
    : QDialog(parent), m_message(new QLabel(this)), m_value(new QLineEdit(this))
{
    setObjectName(QStringLiteral("PromptDialog"));
    setWindowTitle(QGuiApplication::applicationDisplayName());
    m_message->setTextFormat(Qt::PlainText);
    m_message->setText(message);
    m_message->setWordWrap(true);
    m_message->setVisible(!message.isEmpty());
    m_value->setText(value);
    m_value->setMinimumWidth(300);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_value);
    layout->addWidget(buttons);
}

QString PromptDialog::message() const
{
    return m_message->text();
}

QString PromptDialog::value() const
{
    return m_value->text();
}

void PromptDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_value->setFocus();
    m_value->selectAll();
    if (!m_announced) {
        m_announced = true;
        // Queued, so that whoever hears it finds the dialog's loop running and may close it.
        QTimer::singleShot(0, this, [this] { emit shown(this); });
    }
}
