#include "app/ProgramValues.h"

#include <QTest>

class tst_ProgramValues : public QObject {
    Q_OBJECT
private slots:
    void exeBaseName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "/opt/velmora/velmora"
                               << "velmora";
        QTest::newRow("windows") << "C:/Tools/Velmora.exe"
                                 << "Velmora";
        QTest::newRow("development copy") << "/x/Tool_dv"
                                          << "Tool";
        QTest::newRow("any case") << "C:/x/Tool_DV.exe"
                                  << "Tool";
        QTest::newRow("not at the end") << "/x/Tool_dvx"
                                        << "Tool_dvx";
        QTest::newRow("nothing but the marker") << "/x/_dv"
                                                << "";
        QTest::newRow("inner dots stay") << "/x/my.tool_dv.exe"
                                         << "my.tool";
    }
    void exeBaseName()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(Program::exeBaseNameFrom(path), name);
    }
};

QTEST_GUILESS_MAIN(tst_ProgramValues)
#include "tst_ProgramValues.moc"
