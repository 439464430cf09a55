// The C tables as the compilers of firmware builds see them: gcc judges the c99 header and
// avr-gcc the arduino one, and the bytes they place must be the tool's own binary table. And
// decode over byte arrays written the way other tools and people write them.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs program in folder with input on its standard input.
Run runProgram(const QString& program, const QStringList& args, const QByteArray& input = {},
               const QString& folder = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    const bool done = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return {done ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}

Run runTool(const QStringList& args, const QByteArray& input = {}) {
    return runProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/pointillo"), args,
                      input);
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QStringList sizeOf(int width, int height) {
    return {"--rows", QString::number(width), "--lines", QString::number(height)};
}

// The table of text as the tool writes it in binary: the bytes every C table must hold.
QByteArray binaryTable(const QString& text, const QString& layout, int width, int height) {
    return runTool(QStringList{text, "--format", "bin", "--layout", layout} + sizeOf(width, height))
        .out;
}

// A program that prints the glyph bytes; with a key, only those of the glyph the index gives
// for it, else every glyph without touching the index.
QByteArray printingProgram(char32_t key) {
    const QByteArray pick =
        key ? QByteArray("if (font_index[g] == ") + QByteArray::number(uint(key)) + "u)" : "";
    return "#include <stdio.h>\n#include \"font.h\"\n\nint main(void) {\n"
           "    unsigned g, k;\n    for (g = 0; g < FONT_COUNT; ++g)\n        " +
           pick +
           "\n            for (k = 0; k < FONT_BYTES; ++k)\n"
           "                putchar(font[g][k]);\n    return 0;\n}\n";
}

// The C the decode output of source is, from the include guard on: below the header that
// names how it was made.
QByteArray tableBody(const QByteArray& c) {
    return c.mid(c.indexOf("#ifndef"));
}

const QStringList kLetterA{"...##...", "..#..#..", ".#....#.", ".#....#.",
                           ".######.", ".#....#.", ".#....#.", "........"};

} // namespace

class tst_Targets : public QObject {
    Q_OBJECT

private slots:
    void c99HeaderCompilesAndHoldsTheGlyphs_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("lookUp"); // the character to find through the index
        const auto row = [](const char* name, const char* text, const char* layout, int width,
                            int height, const char* lookUp = "") {
            QTest::newRow(name) << QString::fromUtf8(text) << QString(layout) << width << height
                                << QString::fromUtf8(lookUp);
        };
        row("row bytes, 16x16", "Ag", "row", 16, 16);
        row("ssd1306 pages, 8x8", "Ag", "ssd1306", 8, 8);
        row("gfx bit stream, 5x7", "Ag", "gfx", 5, 7);
        row("max7219 modules, 16x16", "Ag", "max7219", 16, 16);
        row("max7219 module, 5x7", "Ag", "max7219", 5, 7);
        row("16-bit little-endian words, 16x16", "Ag", "word=16,endian=little", 16, 16);
        row("comment closers and trigraphs in the text", "/*?\?/", "row", 8, 8);
        row("index finds a glyph, 8x8", "gA", "ssd1306", 8, 8, "g");
        row("32-bit index above U+FFFF", "A\U0001F600", "row", 8, 8, "\U0001F600");
    }

    void c99HeaderCompilesAndHoldsTheGlyphs() {
        QFETCH(QString, text);
        QFETCH(QString, layout);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, lookUp);
        QTemporaryDir dir;
        const char32_t key = lookUp.isEmpty() ? 0 : lookUp.toUcs4().first();
        // The text last: a trigraph at the end of the command line ends its comment line.
        const Run header = runTool(QStringList{"--format", "c", "--dialect", "c99", "--layout",
                                               layout, "-o", dir.filePath("font.h")} +
                                   sizeOf(width, height) + QStringList{text});
        QVERIFY2(header.status == 0, qPrintable(header.err));
        QVERIFY(writeFile(dir.filePath("main.c"), printingProgram(key)));
        const Run gcc = runProgram(
            "gcc", {"-std=c99", "-Wall", "-Wextra", "-pedantic", "-Werror", "main.c", "-o", "main"},
            {}, dir.path());
        QVERIFY2(gcc.status == 0, qPrintable(gcc.err));
        const Run program = runProgram(dir.filePath("main"), {});
        QCOMPARE(program.status, 0);
        QCOMPARE(program.out, binaryTable(key ? lookUp : text, layout, width, height));
    }

    void arduinoHeaderCompilesForTheAtmega328p_data() {
        QTest::addColumn<QString>("compiler");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        const auto row = [](const char* name, const char* compiler, const char* layout, int width,
                            int height) {
            QTest::newRow(name) << QString(compiler) << QString(layout) << width << height;
        };
        row("C, gfx bit stream, 5x7", "avr-gcc", "gfx", 5, 7);
        row("C, ssd1306 pages, 8x8", "avr-gcc", "ssd1306", 8, 8);
        row("C, max7219 modules, 16x16", "avr-gcc", "max7219", 16, 16);
        row("C++ as in a sketch, row bytes, 16x16", "avr-g++", "row", 16, 16);
    }

    void arduinoHeaderCompilesForTheAtmega328p() {
        QFETCH(QString, compiler);
        QFETCH(QString, layout);
        QFETCH(int, width);
        QFETCH(int, height);
        if (QStandardPaths::findExecutable(compiler).isEmpty())
            QSKIP("no AVR tool chain here: scripts/setup.sh installs gcc-avr and avr-libc");
        QTemporaryDir dir;
        const Run header = runTool(QStringList{"Ag", "--format", "c", "--dialect", "arduino",
                                               "--layout", layout, "-o", dir.filePath("font.h")} +
                                   sizeOf(width, height));
        QVERIFY2(header.status == 0, qPrintable(header.err));
        const QString source = compiler == "avr-g++" ? "glyph.cpp" : "glyph.c";
        QVERIFY(writeFile(dir.filePath(source),
                          "#include \"font.h\"\n\nuint8_t glyphByte(uint8_t g, uint8_t k) {\n"
                          "    return pgm_read_byte(&font[g][k]);\n}\n"));
        const Run avr = runProgram(compiler,
                                   {"-mmcu=atmega328p", "-Os", "-Wall", "-Wextra", "-Werror", "-c",
                                    source, "-o", "glyph.o"},
                                   {}, dir.path());
        QVERIFY2(avr.status == 0, qPrintable(avr.err));
        // The glyph table alone is in code memory: the unused index is left out at -Os.
        const Run copy = runProgram("avr-objcopy",
                                    {"-O", "binary", "-j", ".progmem.data", "glyph.o", "glyph.bin"},
                                    {}, dir.path());
        QVERIFY2(copy.status == 0, qPrintable(copy.err));
        QFile placed(dir.filePath("glyph.bin"));
        QVERIFY(placed.open(QIODevice::ReadOnly));
        QCOMPARE(placed.readAll(), binaryTable("Ag", layout, width, height));
    }

    void decodeReadsAnotherToolsByteArray_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QStringList>("picture");
        QTest::newRow("PROGMEM after the type")
            << QByteArray(
                   "const uint8_t PROGMEM font[] = {0x18,0x24,0x42,0x42,0x7E,0x42,0x42,0x00};")
            << "row" << kLetterA;
        QTest::newRow("unsigned char in decimal")
            << QByteArray("static const unsigned char bitmap[] = {\n  24, 36, 66, 66,\n"
                          "  126, 66, 66, 0\n};\n")
            << "row" << kLetterA;
        QTest::newRow("binary literals")
            << QByteArray("const char glyph[8] = {0b00011000, 0b00100100, 0b01000010, "
                          "0b01000010,\n  0b01111110, 0b01000010, 0b01000010, 0b00000000};")
            << "row" << kLetterA;
        QTest::newRow("C octal")
            << QByteArray("const unsigned char a[] = {030, 044, 0102, 0102, 0176, 0102, 0102, 0};")
            << "row" << kLetterA;
        QTest::newRow("negative values")
            << QByteArray("const signed char box[] = {-1, -127, -127, -127, -127, -127, -127, -1};")
            << "row" << QStringList{"########", "#......#", "#......#", "#......#",
                                    "#......#", "#......#", "#......#", "########"};
        QTest::newRow("Adafruit GFX font beside a glyph table and widths")
            << QByteArray("const uint8_t tinyBitmaps[] PROGMEM = {\n"
                          "  0x18, 0x24, 0x42, 0x42, 0x7E, 0x42, 0x42, 0x00 };\n"
                          "const GFXglyph tinyGlyphs[] PROGMEM = {\n"
                          "  {     0,   8,   8,   8,    0,   -7 } };  // 0x41 'A'\n"
                          "const uint16_t tinyWidths[] = { 800, 8 };\n"
                          "const GFXfont tiny PROGMEM = {\n"
                          "  (uint8_t  *)tinyBitmaps, (GFXglyph *)tinyGlyphs, 0x41, 0x41, 8 };\n")
            << "row" << kLetterA;
        QTest::newRow("SSD1306 pages")
            << QByteArray("// one byte a column, top dot in bit 0\n"
                          "const uint8_t oled[8] = {0x00,0x7C,0x12,0x11,0x12,0x7C,0x00,0x00};")
            << "ssd1306" << QStringList{"...#....", "..#.#...", ".#...#..", ".#...#..",
                                        ".#####..", ".#...#..", ".#...#..", "........"};
        QTest::newRow("Arduino B constants")
            << QByteArray("byte a[8] = {B00011000, B00100100, B01000010, B01000010,\n"
                          "  B01111110, B1000010, B1000010, B0};")
            << "row" << kLetterA;
        QTest::newRow("assembler octal with Q and O")
            << QByteArray("; A\nfont:\tDB 030Q, 044Q, 102Q, 102Q\n\tDB 176O, 102O, 102O, 0\n")
            << "row" << kLetterA;
    }

    void decodeReadsAnotherToolsByteArray() {
        QFETCH(QByteArray, source);
        QFETCH(QString, layout);
        QFETCH(QStringList, picture);
        const Run decoded = runTool(
            {"decode", "-", "--in-lines", "8", "--in-rows", "8", "--in-layout", layout}, source);
        QVERIFY2(decoded.status == 0, qPrintable(decoded.err));
        QStringList lines = QString::fromUtf8(decoded.out).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.takeFirst().trimmed(), QStringLiteral("glyph 1"));
        QCOMPARE(lines, picture);
    }

    void decodeWritesAnyLayout_data() {
        QTest::addColumn<QStringList>("table");
        QTest::newRow("c99 header in ssd1306 pages")
            << QStringList{"--format", "c", "--dialect", "c99", "--layout", "ssd1306"};
        QTest::newRow("arduino header in 16-bit words") << QStringList{
            "--format", "c", "--dialect", "arduino", "--layout", "word=16,endian=little"};
        QTest::newRow("assembler, column layout")
            << QStringList{"--format", "asm", "--layout", "column"};
        QTest::newRow("window code text") << QStringList{"--format", "text"};
    }

    void decodeWritesAnyLayout() {
        QFETCH(QStringList, table);
        const QStringList size = sizeOf(10, 12);
        const Run written = runTool(QStringList{"Ag"} + table + size);
        QVERIFY2(written.status == 0, qPrintable(written.err));
        const QStringList max7219{"--format", "c", "--layout", "max7219"};
        const Run decoded =
            runTool(QStringList{"decode", "-", "--in-rows", "10", "--in-lines", "12"} + max7219,
                    written.out);
        QVERIFY2(decoded.status == 0, qPrintable(decoded.err));
        QCOMPARE(tableBody(decoded.out),
                 tableBody(runTool(QStringList{"Ag"} + max7219 + size).out));
    }
};

QTEST_GUILESS_MAIN(tst_Targets)
#include "tst_targets.moc"
