// The yardstick for the start-up benchmark: a bare Qt window holding a one-row table, in a program
// that links nothing but Qt Widgets.
#include "BareTable.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTableWidget *table = makeBareTable();
    table->resize(800, 200);
    table->show();
    const int code = app.exec();
    delete table;
    return code;
}
