// Whole outputs of representative commands, compared with the files in golden/: a change to
// any byte of a table, a listing or a help text shows up here as a diff.
#include "cli/CliRun.h"

#include <QTest>

namespace {

const QString kGolden = QStringLiteral(QT_TESTCASE_SOURCEDIR "/golden/");
const QString kUnifont = QStringLiteral("/usr/share/unifont/unifont.hex");

bool updating() {
    return qEnvironmentVariableIntValue("POINTILLO_UPDATE_GOLDEN") == 1;
}

struct Case {
    QByteArray name;
    QStringList arguments;
    QString input; // a golden file fed on standard input
    QString golden;
};

// The C dialects differ from keil's only in declarations, which gcc, avr-gcc and sdcc judge.
QList<Case> cases() {
    const QStringList unifont{"--font-file", kUnifont};
    const QStringList oneLine{"decode", "--in-lines", "1", "--format", "c", "--in-rows"};
    return {
        {"window's code text", QStringList{"A英"} + unifont, {}, "window-text.txt"},
        // Labels show a character unless it would end the comment or string around it.
        {"c table",
         {"\"\\A英", "--format", "c", "--font-file", kUnifont, "--dialect", "keil"},
         {},
         "table-keil.h"},
        // A blank needs no face, and its label does not quote it.
        {"asm table named big, at an origin",
         QStringList{" A英", "--format", "asm", "--origin", "1000h", "--name", "big"} + unifont,
         {},
         "table-keil.asm"},
        {"Intel HEX table over the last 24-bit address",
         QStringList{"A英", "--format", "hex", "--origin", "0xFFFFF0"} + unifont,
         {},
         "table.hex"},
        {"help", {"--help"}, {}, "help.txt"},
        {"layout presets", {"--list-layouts"}, {}, "list-layouts.txt"},
        {"decoded c table", {"decode"}, "table-keil.h", "decode-listing.txt"},
        {"decode sorts the index it writes", oneLine + QStringList{"8"}, "unsorted.in.asm",
         "decode-sorted.h"},
        {"decode keeps no label past U+10FFFF", oneLine + QStringList{"40"},
         "beyond-unicode.in.asm", "decode-unnamed.h"},
    };
}

} // namespace

class tst_CliGolden : public QObject {
    Q_OBJECT

private slots:
    void outputIsTheGoldenFile_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("golden");
        for (const Case& c : cases())
            QTest::newRow(c.name.constData()) << c.arguments << c.input << c.golden;
    }

    void outputIsTheGoldenFile() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, input);
        QFETCH(QString, golden);
        const cli::Run run = cli::runTool(
            arguments, input.isEmpty() ? QByteArray() : cli::contents(kGolden + input));
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        if (updating())
            QVERIFY(cli::writeFile(kGolden + golden, run.out));
        // As lists of lines, so that a failure names the first line that differs.
        QCOMPARE(run.outText().split('\n'),
                 QString::fromUtf8(cli::contents(kGolden + golden)).split('\n'));
    }

    // A golden file no command writes any more would pass unnoticed.
    void everyGoldenFileHasACommand() {
        QStringList named{"README.md"};
        for (const Case& c : cases())
            named << c.input << c.golden;
        for (const QString& file : QDir(kGolden).entryList(QDir::Files))
            QVERIFY2(named.contains(file), qPrintable(file + " is named by no command"));
    }
};

QTEST_MAIN(tst_CliGolden)
#include "tst_cli_golden.moc"
