// pointillo decode reads the byte arrays other tools and people write, in whatever notation,
// and refuses text it cannot read whole, naming the line.
#include "cli/CliRun.h"

#include <QTest>

using cli::Folder;
using cli::Run;

namespace {

// The five bytes 81 B1 55 08 FF every notation below spells, read as one line of 40 dots.
const QStringList kOneLine{"decode", "--in-lines", "1", "--in-rows", "40"};
const QByteArray kListing("glyph 1 \n#......##.##...#.#.#.#.#....#...########\n");

} // namespace

class tst_CliDecode : public QObject {
    Q_OBJECT

private slots:
    void readsTheBytesOfEveryNotation_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("C, decimal and octal") << QByteArray("unsigned char x[] = {129, 0261, "
                                                            "85, 010, 255};");
        QTest::newRow("C, hex, binary, suffixes and comments")
            << QByteArray("char x[5] = {0x81, // 1st\n0b10110001,/* 2 */0x55U, /**/8UL, 0XfF};");
        QTest::newRow("C, negative values as two's complement")
            << QByteArray("char a[] = {-127, -0x4F, 85, 8, -1};");
        QTest::newRow("assembler notations")
            << QByteArray("t: DB 81H,0B1H ; 2nd\n\t.db 85D,08,11111111B\n");
        QTest::newRow("assembler, CR line ends and numbers in its header")
            << QByteArray("; made in 2024 with 3 tools, 16 x 16\rt: DB 81H,0B1H\r\tDB "
                          "55H,08H,0FFH\r");
        QTest::newRow("bare list after a #define")
            << QByteArray("#define W 40\r\n0x81,0xB1,85,010,0xFF");
        QTest::newRow("Arduino B constants")
            << QByteArray("byte a[5] = {B10000001, B10110001, B1010101, B1000, B11111111};");
        QTest::newRow("assembler octal with Q and O")
            << QByteArray("; A\nfont:\tDB 201Q, 261Q\n\tDB 125O, 10Q, 377O\n");
        // Only the first array holds glyphs; the glyph records and widths after it do not.
        QTest::newRow("Adafruit GFX font beside a glyph table and widths")
            << QByteArray("const uint8_t bm[] PROGMEM = {\n  0x81, 0xB1, 0x55, 0x08, 0xFF };\n"
                          "const GFXglyph glyphs[] PROGMEM = {\n"
                          "  {     0,   8,   8,   8,    0,   -7 } };  // 0x41 'A'\n"
                          "const uint16_t widths[] = { 800, 8 };\n"
                          "const GFXfont tiny PROGMEM = {\n"
                          "  (uint8_t  *)bm, (GFXglyph *)glyphs, 0x41, 0x41, 8 };\n");
        // A pipe hands the tool its input in parts of 64 KiB or less.
        QTest::newRow("C after a comment longer than a pipe holds")
            << "/*" + QByteArray(1024 * 1024, ' ') + "*/ char x[] = {0x81,0xB1,0x55,0x08,0xFF};";
        QTest::newRow("binary, known by its bytes") << QByteArray("\x81\xB1\x55\x08\xFF", 5);
        QTest::newRow("Intel HEX, put in address order over extended addresses")
            << QByteArray(":020000040100F9\n:01000000FF00\n:020000040001F9\n:0200000081B1CC\n"
                          ":0200000400807A\n:020000005508A1\n:00000001FF\n");
        // The header's layout is out of range, so the one given on the command line holds.
        QTest::newRow("header naming 300 lines")
            << QByteArray("/* pointillo table: lines=300 rows=8 order=row */ char x[] = "
                          "{129,177,85,8,255};");
    }

    void readsTheBytesOfEveryNotation() {
        QFETCH(QByteArray, input);
        const Run run = cli::runTool(kOneLine, input);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, kListing);
    }

    // A file named .bin is read as bytes even when it looks like text ("ABZB\n").
    void readsAFileNamedBinAsBytes() {
        const Run run = Folder().run(kOneLine + QStringList{"t.bin"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QByteArray("glyph 1 \n.#.....#.#....#..#.##.#..#....#.....#.#.\n"));
    }

    void refusesTextItCannotReadWhole_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("message");
        QTest::newRow("HEX record short of its count")
            << QByteArray(":01000000817E\n:0200010041BC\n")
            << "line 2 is not a valid Intel HEX record";
        QTest::newRow("HEX record with a bad checksum")
            << QByteArray(":01000000817E\n:01000100B14C\n")
            << "line 2 is not a valid Intel HEX record";
        QTest::newRow("HEX without its end record")
            << QByteArray(":0500000081B15508FF6D\n")
            << "has no Intel HEX end record (:00000001FF); the file may have been cut short";
        QTest::newRow("HEX record after the end record")
            << QByteArray(":0500000081B15508FF6D\n:00000001FF\n:0500000081B15508FF6D\n")
            << "line 3 follows the end record of line 2";
        QTest::newRow("HEX writing one address twice")
            << QByteArray(":0500000081B15508FF6D\n:0100040055A6\n:00000001FF\n")
            << "line 2 writes address 0x4 a second time";
        QTest::newRow("assembler byte 256")
            << QByteArray("DB 1\nDB 256") << "line 2: '256' is not a byte";
        QTest::newRow("C word that is no number")
            << QByteArray("char x[]={\n1,\n0x1G};") << "line 3: '0x1G' is not a byte";
        QTest::newRow("bare list value past a byte")
            << QByteArray("0x41,\n0x100\n") << "line 2: '0x100' is not a byte";
        QTest::newRow("C value below a byte")
            << QByteArray("char a[] = {-129, -0x4F, 85, 8, -1};") << "line 1: '-129' is not a byte";
    }

    void refusesTextItCannotReadWhole() {
        QFETCH(QByteArray, input);
        QFETCH(QString, message);
        const Folder folder;
        const Run run = folder.run(kOneLine, input);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, "pointillo: standard input: " + message + '\n');
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(folder.files(), QStringList{"t.bin"});
    }
};

QTEST_MAIN(tst_CliDecode)
#include "tst_cli_decode.moc"
