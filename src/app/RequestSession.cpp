#include "app/RequestSession.h"

#include "core/AnswerCheck.h"
#include "core/MessageSink.h"
#include "core/RequestFile.h"
#include "ui/MainWindow.h"

#include <QEventLoop>

using namespace Qt::Literals::StringLiterals;

RequestSession::RequestSession(MainWindow &window, MessageSink &messages, const Cp932Codec &codec)
    : m_window(window), m_messages(messages), m_codec(codec)
{
}

std::optional<QString> RequestSession::serve(const QString &requestText)
{
    const RequestFile request(requestText);
    std::optional<QString> answer;
    QEventLoop loop;
    QObject::connect(&m_window, &MainWindow::hidden, &loop, &QEventLoop::quit);
    QObject::connect(&m_window, &MainWindow::acceptRequested, &loop, [&] {
        const AddressRecord record = m_window.record();
        const QString text = request.answerFor(record);
        const AnswerCheck check = AnswerCheck::of(record, text, m_codec);
        switch (check.problem) {
        case AnswerCheck::Problem::FieldSeparator:
            m_messages.show(
                u"タブや改行は依頼ファイルに書き込めません\r項目を直してからもう一度 F9 を押してください"_s);
            return;
        case AnswerCheck::Problem::Unencodable:
            m_messages.show(
                u"「"_s + check.character +
                u"」は依頼ファイルに書き込めない文字です\r文字を直してからもう一度 F9 を押してください"_s);
            return;
        case AnswerCheck::Problem::None:
            break;
        }
        answer = text;
        m_window.hide();
    });
    m_window.startRequest(request.initialRecord());
    m_window.setWindowModality(Qt::ApplicationModal);
    m_window.show();
    if (m_window.isVisible())
        loop.exec();
    return answer;
}
