#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// An installed program started through links in other folders finds its control library in the
// folder of its real file: pointillo prints no code without the control it creates from there.
class TestProgramFolder : public QObject {
    Q_OBJECT

private slots:
    void relativeLinkToALinkLeadsToTheRealFolder() {
        const QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath("a") && QDir(tmp.path()).mkpath("bin"));
        QVERIFY(QFile::link(QStringLiteral(POINTILLO), tmp.filePath("a/first")));
        QVERIFY(QFile::link("../a/first", tmp.filePath("bin/orvane")));
        QProcess program;
        program.start(tmp.filePath("bin/orvane"), {"A"});
        QVERIFY(program.waitForFinished());
        QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
        QVERIFY(program.readAllStandardOutput().startsWith(";A\r\n"));
    }
};

QTEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
