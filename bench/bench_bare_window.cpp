// The yardstick for the start-up benchmark: a bare Qt window holding a one-row table, in a program
// that links nothing but Qt Widgets. Prints "shown <ms>" once the window is on screen.
#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTimer>
#include <QWindow>
#include <cstdio>

int main(int argc, char **argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    QTableWidget table(1, 4);
    table.show();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &table, [&] {
        if (table.windowHandle() && table.windowHandle()->isExposed()) {
            poll.stop();
            std::printf("shown %.1f\n", double(sinceStart.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            QCoreApplication::quit();
        }
    });
    poll.start(1);
    return app.exec();
}
