#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// An installed program is started through a link in bin/; it must still find its control
// library and help file in the folder of its real file.
class TestProgramFolder : public QObject {
    Q_OBJECT

private slots:
    void linkLeadsToTheRealFolder_data();
    void linkLeadsToTheRealFolder();
};

void TestProgramFolder::linkLeadsToTheRealFolder_data() {
    QTest::addColumn<QStringList>("links"); // each a link to the one before, the first to the probe
    QTest::addColumn<bool>("relative");
    QTest::newRow("started directly") << QStringList{} << false;
    QTest::newRow("absolute link in another folder") << QStringList{"bin/orvane"} << false;
    QTest::newRow("relative link in another folder") << QStringList{"bin/orvane"} << true;
    QTest::newRow("link to a link") << QStringList{"a/first", "bin/orvane"} << false;
}

void TestProgramFolder::linkLeadsToTheRealFolder() {
    QFETCH(QStringList, links);
    QFETCH(bool, relative);
    const QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QString command = QStringLiteral(FOLDER_PROBE);
    for (const QString& link : links) {
        const QString path = tmp.filePath(link);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        const QString target = relative ? QFileInfo(path).dir().relativeFilePath(command) : command;
        QVERIFY(QFile::link(target, path));
        command = path;
    }
    QProcess probe;
    probe.start(command, {});
    QVERIFY(probe.waitForFinished());
    QCOMPARE(probe.exitCode(), 0);
    const QStringList lines = QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n');
    const QFileInfo library(QStringLiteral(KIVARO_LIBRARY));
    QCOMPARE(lines.value(0), QFileInfo(QStringLiteral(FOLDER_PROBE)).canonicalPath());
    QCOMPARE(lines.value(1), library.canonicalFilePath());
}

QTEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
