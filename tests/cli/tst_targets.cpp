// The C tables as the compilers of firmware builds see them: gcc judges the c99 header and
// avr-gcc the arduino one, and the bytes they place must be the tool's own binary table.
#include "cli/CliRun.h"

#include <QStandardPaths>
#include <QTest>

using cli::Run;
using cli::runProgram;
using cli::runTool;

namespace {

QStringList sizeOf(QSize size) {
    return {"--rows", QString::number(size.width()), "--lines", QString::number(size.height())};
}

// The table of text as the tool writes it in binary: the bytes every C table must hold.
QByteArray binaryTable(const QString& text, const QString& layout, QSize size) {
    return runTool(QStringList{text, "--format", "bin", "--layout", layout} + sizeOf(size)).out;
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

} // namespace

class tst_Targets : public QObject {
    Q_OBJECT

private slots:
    void c99HeaderCompilesAndHoldsTheGlyphs_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("lookUp"); // the character to find through the index
        QTest::newRow("gfx bit stream, 5x7") << "Ag"
                                             << "gfx" << QSize(5, 7) << "";
        QTest::newRow("comment closers and trigraphs in the text") << "/*?\?/"
                                                                   << "row" << QSize(8, 8) << "";
        QTest::newRow("32-bit index above U+FFFF") << "A\U0001F600"
                                                   << "row" << QSize(8, 8) << "\U0001F600";
    }

    void c99HeaderCompilesAndHoldsTheGlyphs() {
        QFETCH(QString, text);
        QFETCH(QString, layout);
        QFETCH(QSize, size);
        QFETCH(QString, lookUp);
        QTemporaryDir dir;
        const char32_t key = lookUp.isEmpty() ? 0 : lookUp.toUcs4().first();
        // The text last: a trigraph at the end of the command line ends its comment line.
        const Run header = runTool(QStringList{"--format", "c", "--dialect", "c99", "--layout",
                                               layout, "-o", dir.filePath("font.h")} +
                                   sizeOf(size) + QStringList{text});
        QVERIFY2(header.status == 0, qPrintable(header.err));
        QVERIFY(cli::writeFile(dir.filePath("main.c"), printingProgram(key)));
        const Run gcc = runProgram(
            "gcc", {"-std=c99", "-Wall", "-Wextra", "-pedantic", "-Werror", "main.c", "-o", "main"},
            {}, dir.path());
        QVERIFY2(gcc.status == 0, qPrintable(gcc.err));
        const Run program = runProgram(dir.filePath("main"), {});
        QCOMPARE(program.status, 0);
        QCOMPARE(program.out, binaryTable(key ? lookUp : text, layout, size));
    }

    void arduinoHeaderCompilesForTheAtmega328p_data() {
        QTest::addColumn<QString>("compiler");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QSize>("size");
        QTest::newRow("C, gfx bit stream, 5x7") << "avr-gcc"
                                                << "gfx" << QSize(5, 7);
        QTest::newRow("C++ as in a sketch, row bytes, 16x16") << "avr-g++"
                                                              << "row" << QSize(16, 16);
    }

    void arduinoHeaderCompilesForTheAtmega328p() {
        QFETCH(QString, compiler);
        QFETCH(QString, layout);
        QFETCH(QSize, size);
        if (QStandardPaths::findExecutable(compiler).isEmpty())
            QSKIP("no AVR tool chain here: scripts/setup.sh installs gcc-avr and avr-libc");
        QTemporaryDir dir;
        const Run header = runTool(QStringList{"Ag", "--format", "c", "--dialect", "arduino",
                                               "--layout", layout, "-o", dir.filePath("font.h")} +
                                   sizeOf(size));
        QVERIFY2(header.status == 0, qPrintable(header.err));
        const QString source = compiler == "avr-g++" ? "glyph.cpp" : "glyph.c";
        QVERIFY(cli::writeFile(dir.filePath(source),
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
        QCOMPARE(cli::contents(dir.filePath("glyph.bin")), binaryTable("Ag", layout, size));
    }
};

QTEST_GUILESS_MAIN(tst_Targets)
#include "tst_targets.moc"
