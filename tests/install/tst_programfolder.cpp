#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// An installed program is started through a link in bin/; it must still find its control
// library and help file in the folder of its real file.
class TestProgramFolder : public QObject {
    Q_OBJECT

private slots:
    void linkLeadsToTheRealFolder_data() {
        QTest::addColumn<QStringList>("links"); // each to the one before, the first to the probe
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
        QString command = QStringLiteral(FOLDER_PROBE);
        for (const QString& link : links) {
            const QFileInfo path(tmp.filePath(link));
            QVERIFY(QDir().mkpath(path.path()));
            QVERIFY(QFile::link(relative ? path.dir().relativeFilePath(command) : command,
                                path.filePath()));
            command = path.filePath();
        }
        QProcess probe;
        probe.start(command, {});
        QVERIFY(probe.waitForFinished());
        QCOMPARE(probe.exitCode(), 0);
        QCOMPARE(QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n').mid(0, 2),
                 QStringList({QFileInfo(QStringLiteral(FOLDER_PROBE)).canonicalPath(),
                              QFileInfo(QStringLiteral(KIVARO_LIBRARY)).canonicalFilePath()}));
    }
};

QTEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
