// Whole outputs of representative commands, compared with the files in golden/: a change to
// any byte of a table, a listing or a help text shows up here as a diff.
#include "cli/CliRun.h"

#include <QTest>

namespace {

const QString kGolden = QStringLiteral(QT_TESTCASE_SOURCEDIR "/golden/");

} // namespace

class tst_CliGolden : public QObject {
    Q_OBJECT

private slots:
    // The C dialects differ from keil's only in declarations, which gcc, avr-gcc and sdcc judge.
    void outputIsTheGoldenFile_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("input"); // a golden file fed on standard input
        QTest::addColumn<QString>("golden");
        const QStringList unifont{"--font-file", "/usr/share/unifont/unifont.hex"};
        const QStringList oneLine{"decode", "--in-lines", "1", "--format", "c", "--in-rows"};
        QTest::newRow("window's code text") << QStringList{"A英"} + unifont << ""
                                            << "window-text.txt";
        // Labels show a character unless it would end the comment or string around it.
        QTest::newRow("c table") << QStringList{"\"\\A英", "--format", "c"} + unifont +
                                        QStringList{"--dialect", "keil"}
                                 << ""
                                 << "table-keil.h";
        // A blank needs no face, and its label does not quote it.
        QTest::newRow("asm table named big, at an origin")
            << QStringList{" A英", "--format", "asm", "--origin", "1000h", "--name", "big"} +
                   unifont
            << ""
            << "table-keil.asm";
        // A record ends at the 64 KiB boundary, and the next ones run on across glyphs.
        QTest::newRow("Intel HEX table over the last 24-bit address")
            << QStringList{"A英", "--format", "hex", "--origin", "0xFFFFF8"} + unifont << ""
            << "table.hex";
        QTest::newRow("help") << QStringList{"--help"} << ""
                              << "help.txt";
        QTest::newRow("layout presets") << QStringList{"--list-layouts"} << ""
                                        << "list-layouts.txt";
        QTest::newRow("decoded c table") << QStringList{"decode"} << "table-keil.h"
                                         << "decode-listing.txt";
        QTest::newRow("decode sorts the index it writes")
            << oneLine + QStringList{"8"} << "unsorted.in.asm"
            << "decode-sorted.h";
        QTest::newRow("decode keeps no label past U+10FFFF")
            << oneLine + QStringList{"40"} << "beyond-unicode.in.asm"
            << "decode-unnamed.h";
    }

    void outputIsTheGoldenFile() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, input);
        QFETCH(QString, golden);
        const cli::Run run = cli::runTool(
            arguments, input.isEmpty() ? QByteArray() : cli::contents(kGolden + input));
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        if (qEnvironmentVariableIntValue("POINTILLO_UPDATE_GOLDEN") == 1)
            QVERIFY(cli::writeFile(kGolden + golden, run.out));
        // As lists of lines, so that a failure names the first line that differs.
        QCOMPARE(run.outText().split('\n'),
                 QString::fromUtf8(cli::contents(kGolden + golden)).split('\n'));
    }
};

QTEST_MAIN(tst_CliGolden)
#include "tst_cli_golden.moc"
