#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// A page's prompt() box. The message is plain text and the value sits selected in its line, so that
// "&" and "<" show as they are and Ctrl+C copies the whole value at once.
class PromptDialog : public QDialog {
    Q_OBJECT
public:
    PromptDialog(const QString &message, const QString &value, QWidget *parent = nullptr);

    QString message() const;
    QString value() const;
    QLineEdit *valueEdit() const { return m_value; }

signals:
    // The box is up: a watcher (a test, say) may read or close it now.
    void shown(PromptDialog *dialog);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_message;
    QLineEdit *m_value;
    bool m_announced = false;
};
