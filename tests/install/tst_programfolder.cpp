#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// An installed program is started through a link in bin/; it must still find its control
// library in the folder of its real file. pointillo creates the control from there before it
// prints any code, and fails without it.
class TestProgramFolder : public QObject {
    Q_OBJECT

private slots:
    void linkLeadsToTheRealFolder_data() {
        QTest::addColumn<QStringList>("links"); // each to the one before, the first to the program
        QTest::addColumn<bool>("relative");
        QTest::newRow("started directly") << QStringList{} << false;
        QTest::newRow("absolute link in another folder") << QStringList{"bin/orvane"} << false;
        QTest::newRow("relative link in another folder") << QStringList{"bin/orvane"} << true;
        QTest::newRow("link to a link") << QStringList{"a/first", "bin/orvane"} << false;
    }
    void linkLeadsToTheRealFolder() {
        QFETCH(QStringList, links);
        QFETCH(bool, relative);
        const QTemporaryDir tmp;
        QString command = QStringLiteral(POINTILLO);
        for (const QString& link : links) {
            const QFileInfo path(tmp.filePath(link));
            QVERIFY(QDir().mkpath(path.path()));
            QVERIFY(QFile::link(relative ? path.dir().relativeFilePath(command) : command,
                                path.filePath()));
            command = path.filePath();
        }
        QProcess program;
        program.start(command, {"A"});
        QVERIFY(program.waitForFinished());
        QCOMPARE(program.readAllStandardError(), QByteArray());
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().startsWith(";A\r\n"));
    }
};

QTEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
