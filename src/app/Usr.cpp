#include "app/Usr.h"

#include "app/FileSystem.h"
#include "app/MsgBox.h"
#include "settings/yIni.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <unistd.h>
#endif

std::unique_ptr<fmMain> Usr::Main(const QString &argText, const fmMainServices &services)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restoreCursor = qScopeGuard([] {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    });
    FileSystem &fso = EnsureFso();
    std::optional<QString> request = RequestExchange::readRequest(fso, argText);

    auto window = std::make_unique<fmMain>(services);
    if (!request) {
        window->show();
        return window;
    }
    QString text = *request;
    if (window->ActA(text) && !fso.writeText(argText, text)) {
        // The request file keeps its old content whole; the caller sees no answer.
        services.msgBox->show(QStringLiteral("依頼ファイルに回答を書き込めませんでした\r") + argText);
    }
    ShutDown();
    return window;
}

void Usr::ShutDown()
{
    yIni::ReleaseShared();
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (auto *main = qobject_cast<fmMain *>(w))
            main->clipWatch().watch(0);
    }
    // Hidden windows count too: a request window is hidden, not closed, when the user is done.
    for (const QPointer<QWidget> w : windows) {
        if (w && w->isWindow())
            w->close();
    }
}

void Usr::BringToFront(QWidget *window)
{
    window->raise();
    window->activateWindow();
}

void Usr::prepareWebEngineSandbox()
{
#ifndef _WIN32
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("velmora: running as root, so the web engine runs without its sandbox\n", stderr);
    }
#endif
}
