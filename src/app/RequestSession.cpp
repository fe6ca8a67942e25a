#include "app/RequestSession.h"

#include "core/AnswerCheck.h"
#include "core/FileSystem.h"
#include "core/MessageSink.h"
#include "platform/SpecialFolders.h"
#include "ui/MainWindow.h"

#include <QEventLoop>

using namespace Qt::Literals::StringLiterals;

RequestSession::RequestSession(const FileSystem &files, const SpecialFolders &folders, MessageSink &messages)
    : m_files(files), m_folders(folders), m_messages(messages)
{
}

RequestSession::Opened RequestSession::open(const QString &argumentText)
{
    const std::optional<QString> text = RequestFile::read(m_files, argumentText, &m_bytes);
    if (!text)
        return Opened::NoRequest;
    m_path = argumentText;
    m_request.emplace(*text);
    return lock() ? Opened::Ready : Opened::Refused;
}

// Held until the session ends; false, having said why, when another window serves the same request or
// no lock can be made (then two windows could answer it).
bool RequestSession::lock()
{
    const QString folder = m_folders.path(SpecialFolder::Runtime);
    m_lock.emplace(folder, m_path);
    switch (m_lock->state()) {
    case RequestLock::State::Held:
        return true;
    case RequestLock::State::HeldElsewhere:
        m_messages.show(u"この依頼ファイルは別の画面で処理中です\n"_s + m_path);
        return false;
    case RequestLock::State::CannotLock:
        m_messages.show(
            (folder.isEmpty()
                 ? u"依頼ファイルの処理中の印を置く、ほかの利用者が書き込めないフォルダーがありません\n"_s
                 : u"依頼ファイルの処理中の印をフォルダー %1 に作れません\n"_s.arg(folder)) +
            m_path);
        return false;
    }
    return false;
}

void RequestSession::serve(MainWindow &window)
{
    if (!m_request || !m_lock || !m_lock->isHeld())
        return;
    if (const std::optional<QString> answer = answerFrom(window))
        writeAnswer(*answer);
}

// The calling program waits for this process to end and reads the answer then, and the program
// has nothing else to do meanwhile: the request's window is modal to the whole program, and this
// loop, the program's only one besides the main loop and the dialogs', runs it until the user is done.
std::optional<QString> RequestSession::answerFrom(MainWindow &window)
{
    std::optional<QString> answer;
    QEventLoop loop;
    QObject::connect(&window, &MainWindow::hidden, &loop, &QEventLoop::quit);
    QObject::connect(&window, &MainWindow::acceptRequested, &loop, [&] {
        const AddressRecord record = window.record();
        const QString text = m_request->answerFor(record);
        const AnswerCheck check = AnswerCheck::of(record, text, m_files.codec());
        switch (check.problem) {
        case AnswerCheck::Problem::FieldSeparator:
            m_messages.show(
                u"タブや改行は依頼ファイルに書き込めません\n項目を直してからもう一度 F9 を押してください"_s);
            return;
        case AnswerCheck::Problem::Unencodable:
            m_messages.show(
                u"「"_s + check.character +
                u"」は依頼ファイルに書き込めない文字です\n文字を直してからもう一度 F9 を押してください"_s);
            return;
        case AnswerCheck::Problem::None:
            break;
        }
        answer = text;
        window.hide();
    });
    window.serveRequest(m_request->initialRecord());
    window.setWindowModality(Qt::ApplicationModal);
    window.show();
    window.showRecordMap();
    if (window.isVisible())
        loop.exec();
    return answer;
}

// Unless the answer is written, the request file keeps its content whole and the caller sees no answer.
void RequestSession::writeAnswer(const QString &answer)
{
    switch (RequestFile::writeAnswer(m_files, m_path, m_bytes, answer)) {
    case RequestFile::Outcome::Written:
        break;
    case RequestFile::Outcome::FileChanged:
        m_messages.show(u"依頼ファイルが表示中に変更されたため、回答を書き込みませんでした\n"_s + m_path);
        break;
    case RequestFile::Outcome::WriteFailed:
        m_messages.show(u"依頼ファイルに回答を書き込めませんでした\n"_s + m_path);
        break;
    }
}
