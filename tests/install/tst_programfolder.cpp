#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// pointillo is the engine alone: copied into a folder of its own, without the control library or
// the help file beside it, it still makes tables, and it loads no widget library.
class TestProgramFolder : public QObject {
    Q_OBJECT

private slots:
    void pointilloRunsWithoutTheControlBesideIt() {
        const QTemporaryDir tmp;
        QVERIFY(QFile::copy(QStringLiteral(POINTILLO), tmp.filePath("pointillo")));
        QProcess program;
        program.start(tmp.filePath("pointillo"), {"A"});
        QVERIFY(program.waitForFinished());
        QCOMPARE(QString::fromUtf8(program.readAllStandardError()), QString());
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().startsWith(";A\r\n"));
    }

    void pointilloLoadsNoWidgetLibrary() {
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {QStringLiteral(POINTILLO)});
        QVERIFY(ldd.waitForFinished());
        const QString libraries = QString::fromUtf8(ldd.readAllStandardOutput());
        QVERIFY(libraries.contains(QLatin1String("libQt6Gui")));
        QCOMPARE(libraries.contains(QLatin1String("libQt6Widgets")), false);
    }
};

QTEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
