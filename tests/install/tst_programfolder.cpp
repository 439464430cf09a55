#include "cli/CliRun.h"

#include <QTest>

// pointillo is the engine alone: copied into a folder of its own, without the control library or
// the help file beside it, it still makes tables, and it loads no widget library.
class TestProgramFolder : public QObject {
    Q_OBJECT

private slots:
    void pointilloRunsAloneWithoutTheControlOrWidgets() {
        const QTemporaryDir tmp;
        const QString copy = tmp.filePath("pointillo");
        QVERIFY(QFile::copy(QStringLiteral(POINTILLO), copy));
        const cli::Run run = cli::runProgram(copy, {"A"});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith(";A\r\n"));
        const QString libraries = cli::runProgram("ldd", {copy}).outText();
        QVERIFY(libraries.contains(QLatin1String("libQt6Gui")));
        QCOMPARE(libraries.contains(QLatin1String("libQt6Widgets")), false);
    }
};

QTEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
