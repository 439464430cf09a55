// pointillo guess run as a process on tables the tool made: it names a layout that decode
// reads them with, and refuses bytes it cannot cut into glyphs.
#include "GlyphMaker.h"
#include "cli/CliRun.h"

#include <QRegularExpression>
#include <QTest>

using namespace pointillo;
using cli::Run;
using cli::runTool;

namespace {

QString pictureOf(const QString& character, QSize size) {
    GlyphOptions options;
    options.width = size.width();
    options.height = size.height();
    const QList<uint> cps = character.toUcs4();
    return DotPicture(GlyphMaker(options).MakeCharacter(char32_t(cps.first())).dots);
}

QString linesFrom(const QStringList& lines, int first, int count) {
    return lines.mid(first, count).join('\n') + '\n';
}

} // namespace

class tst_Guess : public QObject {
    Q_OBJECT

private slots:
    // With --like the first line is a layout that decode reads the table with. A c table's
    // header gives the size; for other tables every size that fits the bytes is searched.
    void commandNamesTheLayoutDecodeTakes_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("character");
        QTest::addColumn<QSize>("size");
        QTest::newRow("ssd1306 英, searched") << "t.bin"
                                              << "ssd1306"
                                              << "英" << QSize(16, 16);
        QTest::newRow("row A, 8 x 12, searched") << "t.bin"
                                                 << "row"
                                                 << "A" << QSize(8, 12);
        QTest::newRow("gfx A, 10 x 12, c table") << "t.h"
                                                 << "gfx"
                                                 << "A" << QSize(10, 12);
    }

    void commandNamesTheLayoutDecodeTakes() {
        QFETCH(QString, file);
        QFETCH(QString, layout);
        QFETCH(QString, character);
        QFETCH(QSize, size);
        const QString w = QString::number(size.width()), h = QString::number(size.height());
        QTemporaryDir dir;
        const QString table = dir.filePath(file);
        const QString format = file.endsWith(".h") ? "c" : "bin";
        QCOMPARE(runTool({character, "--format", format, "--layout", layout, "--rows", w, "--lines",
                          h, "-o", table})
                     .status,
                 0);
        const Run guess = runTool({"guess", table, "--like", character});
        QCOMPARE(guess.status, 0);
        const QStringList lines = guess.outText().split('\n');
        const qint64 count = qint64(size.width()) * size.height();
        QCOMPARE(lines[1],
                 QString("agreement 100.0 % (%1 of %1 dots), %2 x %3").arg(count).arg(w, h));
        QCOMPARE(linesFrom(lines, 2, size.height()), pictureOf(character, size));
        QVERIFY(lines.value(2 + size.height()).startsWith("runner-up: "));
        // A c table names its size, so no other size is tried.
        for (const QString& line : lines.filter("runner-up: "))
            QVERIFY2(!file.endsWith(".h") || line.endsWith(", " + w + " x " + h), qPrintable(line));
        const QStringList in{"decode", table, "--in-rows", w, "--in-lines", h, "--in-layout"};
        const Run byGuess = runTool(in + QStringList{lines[0]});
        QCOMPARE(byGuess.status, 0);
        QCOMPARE(byGuess.out, runTool(in + QStringList{layout}).out);
    }

    // Without --like the pictures are ranked by how glyph-like they look.
    void commandShowsTheUprightGlyphFirst() {
        QTemporaryDir dir;
        const QString table = dir.filePath("t.bin");
        QCOMPARE(runTool({"A", "--format", "bin", "-o", table}).status, 0);
        const Run guess = runTool({"guess", table});
        QCOMPARE(guess.status, 0);
        const QStringList lines = guess.outText().split('\n');
        QCOMPARE(lines[0], "row");
        QVERIFY2(lines[1].startsWith("oddness "), qPrintable(lines[1]));
        QVERIFY2(lines[1].endsWith(", 16 x 16, 1 glyph"), qPrintable(lines[1]));
        QCOMPARE(linesFrom(lines, 2, 16), pictureOf("A", QSize(16, 16)));
        QVERIFY(guess.outText().contains(
            QRegularExpression("\nshown 12 of \\d+ distinct pictures, the most glyph-like first")));
    }

    // Bytes that no layout cuts into the glyphs asked for are refused, naming the file.
    void refusesBytesItCannotCut_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("no bytes") << QStringList{"guess", "FILE"}
                                  << QByteArray("/* nothing here */\n")
                                  << "FILE: holds no glyph bytes";
        QTest::newRow("no bytes on standard input")
            << QStringList{"guess", "-"} << QByteArray() << "standard input: holds no glyph bytes";
        QTest::newRow("size fits no glyph")
            << QStringList{"guess", "FILE", "--lines", "16", "--rows", "16"}
            << QByteArray("0x01, 0x02, 0x03\n")
            << "FILE: no layout cuts its 3 bytes into whole 16 x 16 glyphs";
        QTest::newRow("like count does not divide")
            << QStringList{"guess", "FILE", "--like", "ABC"} << QByteArray(32, '\x11')
            << "FILE: holds 32 bytes, which do not divide into 3 glyphs, one for each character "
               "of --like";
        QTest::newRow("like size fits no glyph")
            << QStringList{"guess", "FILE", "--like", "A", "--lines", "16", "--rows", "16"}
            << QByteArray("1, 2, 3, 4, 5\n") << "FILE: no layout puts a 16 x 16 glyph in 5 bytes";
    }

    void refusesBytesItCannotCut() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath("in.h");
        QVERIFY(cli::writeFile(path, file));
        const Run run = runTool(args.replaceInStrings("FILE", path), file);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, "pointillo: " + message.replace("FILE", path) + '\n');
        QCOMPARE(run.out, QByteArray());
    }
};

QTEST_MAIN(tst_Guess)
#include "tst_guess.moc"
