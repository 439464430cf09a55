// The command-line tool, run as a process: the same text as the window, tables that the 8051
// tool chains accept with the sampled dots in them, read-back of everything it writes, the
// GB2312 index, and the status and message of every kind of input.
#include "codegen/CodeView.h"
#include "common/Mcs51Tools.h"
#include "window/CharBox.h"
#include "window/ScrollBar.h"
#include "window/WindowFixture.h"

#include <QImage>
#include <QInputMethodEvent>
#include <QPainter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTest>

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs the tool in folder with input on its standard input.
Run runTool(const QStringList& args, const QByteArray& input = {}, const QString& folder = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/pointillo"), args);
    p.write(input);
    p.closeWriteChannel();
    const bool done = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    return {done ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The '#'/'.' pictures of a --preview or decode listing, after the lines that name them.
QStringList pictures(const QString& listing, QStringList* labels = nullptr) {
    static const QRegularExpression name("^glyph .*\\n", QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& m : name.globalMatch(labels ? listing : QString()))
        labels->append(m.captured().chopped(1));
    return listing.mid(listing.indexOf(name)).split(name, Qt::SkipEmptyParts);
}

} // namespace

class tst_Cli : public QObject {
    Q_OBJECT

private slots:
    // Each row: a character, typed through the input method as a hanzi is, and options of the
    // tool, each also done in the window: sizes, order, syntax and glyph position before typing,
    // "--fractions standard" as a settings change after it, "--picture" as an import.
    void printsTheWindowsCodeText_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("options");
        const auto row = [](const char* name, const char* character, const char* options) {
            QTest::newRow(name) << QString::fromUtf8(character) << QString(options);
        };
        row("hanzi at start", "英", "");
        row("latin at start", "g", "");
        row("standard fractions after a settings change", "英", "--fractions standard");
        row("other size, column C51", "字", "--lines 24 --rows 20 --order column --syntax c51");
        row("moved and smaller region", "Q", "--offset 10,-5 --region 100,120");
        row("short groups, standard fractions", "@", "--lines 13 --rows 11 --fractions standard");
        row("picture", "", "--picture");
    }

    void printsTheWindowsCodeText() {
        QFETCH(QString, character);
        QFETCH(QString, options);
        QTemporaryDir dir;
        testing::WindowFixture f;
        orvane::SingleCharWindow& w = *f.window;
        // The scroll bars of each option; the position ones start at their middle.
        const QHash<QString, QList<QScrollBar*>> bars{
            {"--lines", {w.HScrl_Lines}},
            {"--rows", {w.HScrl_Rows}},
            {"--offset", {w.HScrl_ChrPos, w.VScrl_ChrPos}},
            {"--region", {w.HScrl_ChrWth, w.VScrl_ChrHgt}}};
        QStringList args = options.split(' ', Qt::SkipEmptyParts);
        for (qsizetype k = 0; k + 1 < args.size(); ++k)
            for (int part = 0; part < bars.value(args[k]).size(); ++part) {
                QScrollBar* bar = bars.value(args[k])[part];
                const int start = args[k] == "--offset" ? bar->maximum() / 2 : 0;
                bar->setValue(start + args[k + 1].section(',', part, part).toInt());
            }
        w.Opt_CodeModel[options.contains(QStringLiteral("column"))]->click();
        w.Opt_CodeStyle[options.contains(QStringLiteral("c51")) ? 2 : 1]->click();
        if (options == QStringLiteral("--picture")) {
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(Qt::white);
            picture.setPixel(3, 4, qRgb(0, 0, 0));
            QPainter(&picture).fillRect(5, 20, 30, 1, Qt::black);
            QVERIFY(picture.save(dir.filePath("p.bmp")));
            f.dialogs.confirm(dir.filePath("p.bmp"));
            w.Pic_Char_MouseDown(Qt::RightButton);
            args << dir.filePath("p.bmp");
        }
        if (!character.isEmpty()) {
            QInputMethodEvent typed;
            typed.setCommitString(character);
            QCoreApplication::sendEvent(w.Txt_Char, &typed);
            args.prepend(character);
        }
        if (options.contains(QStringLiteral("standard")))
            w.HScrl_Radius->setValue(w.HScrl_Radius->value() + 1);
        QCOMPARE(QString::fromUtf8(runTool(args).out), w.Txt_Display->Text());
        // A .dot file is the window's saved file, byte for byte.
        QCOMPARE(runTool(args + QStringList{"-o", dir.filePath("x.dot")}).status, 0);
        f.dialogs.confirm(dir.filePath("w.dot"));
        w.Cmd_Save_Click();
        QCOMPARE(contents(dir.filePath("x.dot")), contents(dir.filePath("w.dot")));
    }

    void tablesReadBackAndFeedTheToolChains_data() {
        QTest::addColumn<QStringList>("table"); // format, order, lines, rows, dialect
        // Where the byte groups and the sizes a table names meet their bounds; every format.
        QStringList tables{"c row 1 1 keil",      "asm column 254 254 keil", "text column 8 1 keil",
                           "hex column 9 1 keil", "bin row 1 9 keil",        "asm row 1 8 keil"};
        for (const char* format : {"text", "c", "asm", "hex", "bin"})
            for (const char* order : {"row", "column"})
                tables << QStringLiteral("%1 %2 16 13 sdcc").arg(format, order);
        for (const QString& table : tables)
            QTest::newRow(qPrintable(table)) << table.split(' ');
    }

    // Every table is made with a preview, read back, and converted to column-wise bytes; sdcc
    // and as31 take the c and asm ones and must place the dots the preview shows, packed as
    // documented, in code-point order, and (as31) the index after them, high byte first, so
    // that a binary search finds a glyph's number. The window's text keeps the order given.
    void tablesReadBackAndFeedTheToolChains() {
        QFETCH(QStringList, table);
        const QString format = table[0], order = table[1], lines = table[2], rows = table[3];
        QTemporaryDir dir;
        const QString file = dir.filePath("t.") + format;
        const QStringList glyphs{"A英",    "--range", "U+0025-U+002C", "--lines", lines,
                                 "--rows", rows};
        const bool built = table[4] == "sdcc" && (format == "c" || format == "asm");
        // HEX records cross a 64 KiB boundary from 0xFFF0; a c or asm table placed there would
        // run past the 16-bit address space, which is refused.
        const bool past = format != "c" && format != "asm";
        const QStringList origin{"--origin", built ? "0x1000" : "0xFFF0"};
        const Run made = runTool(glyphs + (built || past ? origin : QStringList()) +
                                 QStringList{"--order", order, "--format", format, "--dialect",
                                             table[4], "--preview", "--verify", "-o", file});
        QStringList labels, expected;
        const QStringList found = pictures(made.err, &labels);
        const QString sequence = format == "text" ? "A英%&'()*+," : "%&'()*+,A英";
        QByteArray index, bytes;
        for (const QChar c : sequence) {
            const ushort u = c.unicode();
            expected << QString::asprintf("glyph %lld: U+%04X %lc", expected.size() + 1, u, u);
            index.append(char(u >> 8)).append(char(u & 0xFF));
        }
        QCOMPARE(labels, expected);
        // Text, HEX and binary carry no layout of their own; c and asm name theirs.
        QStringList in{"--in-lines", lines, "--in-rows", rows, "--in-order", order};
        if (format == "c" || format == "asm")
            in.clear();
        const QByteArray read = runTool(QStringList{"decode", file} + in).out;
        QCOMPARE(pictures(QString::fromUtf8(read), &labels), found);
        QCOMPARE(labels.value(found.size()),
                 format == "hex" || format == "bin" ? "glyph 1 " : expected[0].remove(':'));
        // Read back and written column-wise, a table is the one made column-wise.
        const QStringList column{"--format", "bin",     "--order",
                                 "column",   "--index", format == "text" ? "none" : "unicode"};
        QCOMPARE(runTool(QStringList{"decode", file} + column + in).out.toHex(),
                 runTool(glyphs + column).out.toHex());
        if (!built)
            return;
        if (!mcs51::Available())
            QSKIP("as31 and sdcc are not installed");
        for (const QString& picture : found)
            bytes += mcs51::Pack(picture.toLatin1(), order == QLatin1String("row"));
        bytes += format == "asm" ? index : QByteArray();
        const mcs51::Image image = mcs51::Build(
            format == "asm", contents(file) + (format == "c" ? "\nvoid main(void) {}\n" : ""),
            int(bytes.size()));
        QVERIFY2(image.error.isEmpty(), qPrintable(image.error));
        QCOMPARE(image.bytes.toHex(), bytes.toHex());
    }

    void gb2312IndexIsSortedAndMatchesTheGlyphs_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("ends");
        QTest::newRow("level 1") << QStringList{"--gb2312", "1"} << 3755 << "0xB0A1 0xD7F9";
        QTest::newRow("all levels, a symbol")
            << QStringList{"、", "--gb2312", "2"} << 6764 << "0xA1A2 0xF7FE";
    }

    // Firmware that receives GB2312 text binary-searches the index by the two bytes; the glyph
    // at each position must be the character of that code.
    void gb2312IndexIsSortedAndMatchesTheGlyphs() {
        QFETCH(QStringList, args);
        QFETCH(int, count);
        QFETCH(QString, ends);
        const QStringList table{"--index", "gb2312", "--format", "c",
                                "--lines", "1",      "--rows",   "1"};
        const QString c = QString::fromUtf8(runTool(args + table).out);
        QStringList keys, codes;
        const QString list = c.section(QStringLiteral("font_index[%1] = {").arg(count), 1);
        for (const QString& key : list.section('}', 0, 0).split(','))
            keys << key.trimmed();
        // Eight keys a line, as the assembler's DW lines hold them.
        QCOMPARE(list.section('}', 0, 0).count('\n'), (count + 7) / 8 + 1);
        QStringEncoder gb("GB18030");
        for (const auto& m : QRegularExpression("/\\* \"(.)\" U\\+").globalMatch(c))
            codes << "0x" + QByteArray(gb.encode(m.captured(1))).toHex().toUpper();
        QCOMPARE(keys, codes);
        QCOMPARE(keys.first() + ' ' + keys.last(), ends);
        QVERIFY(std::adjacent_find(keys.begin(), keys.end(), std::greater_equal<>()) == keys.end());
    }

    // Each row: arguments, standard input, status and texts that standard error and output hold
    // (after a '!': do not hold). Run in a folder holding an earlier file, t.bin, which no failing
    // run may touch; a usage error is followed by the usage.
    void inputGivesItsStatusAndMessage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("texts");
        const auto row = [](const char* name, const QStringList& args, int status,
                            const QStringList& texts, const QByteArray& input = {}) {
            QTest::newRow(name) << args << input << status << texts;
        };
        // Five bytes, 81 B1 55 08 FF, read as one line of 40 dots.
        const QStringList in{"decode", "--in-lines", "1", "--in-rows", "40"};
        const QStringList dots{"#......##.##...#.#.#.#.#....#...########\n"};
        const QStringList c1{"--format", "c", "--lines", "1", "--rows", "1"};
        const QStringList gb = c1 + QStringList{"--index", "gb2312"};
        const QStringList big{"--lines", "128", "--rows", "254", "--range"};
        row("help: the usage, then what the tool does", {"--help"}, 0, {"[FILE|-]\nMakes LED"});
        row("C decimal and octal", in, 0, dots, "unsigned char x[] = {129, 0261, 85, 010, 255};");
        row("C hex, binary, suffixes and comments", in, 0, dots,
            "char x[5] = {0x81, // 1st\n0b10110001,/* 2 */0x55U, /**/8UL, 0XfF};");
        row("assembler notations", in, 0, dots, "t: DB 81H,0B1H ; 2nd\n\t.db 85D,08,11111111B\n");
        row("bare list past a #define", in, 0, dots, "#define W 40\r\n0x81,0xB1,85,010,0xFF");
        row("binary by its content", in, 0, dots, QByteArray("\x81\xB1\x55\x08\xFF", 5));
        row("binary by its name, whatever it holds", in + QStringList{"t.bin"}, 0,
            {".#.....#.#....#..#.##.#..#....#.....#.#.\n"});
        row("Intel HEX in address order over extended addresses", in, 0, dots,
            ":020000040100F9\n:01000000FF00\n:020000040001F9\n:0200000081B1CC\n"
            ":0200000400807A\n:020000005508A1\n:00000001FF\n");
        row("layout out of range in a table's header", in, 0, dots,
            "/* pointillo table: lines=300 rows=8 order=row */ char x[] = {129,177,85,8,255};");
        row("read-back glyphs keep their names and index", in + QStringList{"--format", "c"}, 0,
            {"/* \"A\" U+0041 */", "font_index[1] = {\n    0x0041\n};"},
            "; \"A\" U+0041\n\tDB 81H,0B1H,55H,08H,0FFH\n");
        row("HEX record short of its count", in, 1, {"input: line 2 is not a valid Intel HEX"},
            ":01000000817E\n:0200010041BC\n");
        row("HEX record with a bad checksum", in, 1, {"line 2 is not a valid Intel HEX record"},
            ":01000000817E\n:01000100B14C\n");
        row("assembler byte 256", in, 1, {"input: line 2: '256' is not a byte"}, "DB 1\nDB 256");
        row("C non-number", in, 1, {"line 3: '0x1G' is not a byte"}, "char x[]={\n1,\n0x1G};");
        row("bare list word that is no number", in, 1, {"line 2: '9x' is not a byte"}, "1,\n2,9x");
        row("empty standard input", {"decode"}, 1, {"standard input: holds no glyph bytes"});
        row("device for an input", {"decode", "/dev/null"}, 1,
            {"cannot read /dev/null: it is not a regular file (give - to read standard input)"});
        row("endless device for an input", {"decode", "/dev/zero"}, 1,
            {"cannot read /dev/zero: it is not a regular file"});
        row("endless device for characters", {"--chars-from", "/dev/zero"}, 1,
            {"cannot read /dev/zero: it is not a regular file"});
        row("decode sorts the index it writes",
            {"decode", "--in-lines", "1", "--in-rows", "8", "--format", "c"}, 0,
            {"/* \"A\" U+0041 */\n    {0x03},\n    /* \"中\" U+4E2D */\n    {0x02},\n"
             "    /* \"国\" U+56FD */\n    {0x01},",
             "font_index[3] = {\n    0x0041, 0x4E2D, 0x56FD\n};"},
            "; \"国\" U+56FD\n\tDB 01H\n; \"中\" U+4E2D\n\tDB 02H\n; \"A\" U+0041\n\tDB 03H\n");
        row("C negative values as two's-complement bytes", in, 0, dots,
            "char a[] = {-127, -0x4F, 85, 8, -1};");
        row("C negative value below a byte", in, 1, {"line 1: '-129' is not a byte"},
            "char a[] = {-129, -0x4F, 85, 8, -1};");
        row("assembler with CR line ends and numbers in its header", in, 0, dots,
            "; made in 2024 with 3 tools, 16 x 16\rt: DB 81H,0B1H\r\tDB 55H,08H,0FFH\r");
        row("C with CR line ends", in, 0, dots, "// 1 2 3\rchar x[] = {129,\r177, 85, 8, 255};\r");
        row("Intel HEX without its end record", in, 1,
            {"standard input: has no Intel HEX end record"}, ":0500000081B15508FF6D\n");
        row("Intel HEX record after the end record", in, 1,
            {"standard input: line 3 follows the end record of line 2"},
            ":0500000081B15508FF6D\n:00000001FF\n:0500000081B15508FF6D\n");
        row("Intel HEX writing one address twice", in, 1,
            {"standard input: line 2 writes address 0x4 a second time"},
            ":0500000081B15508FF6D\n:0100040055A6\n:00000001FF\n");
        row("label past U+10FFFF names no character", in + QStringList{"--format", "c"}, 0,
            {"index: none", "{0x81,0xB1,0x55,0x08,0xFF}", "!U+110000", "!font_index"},
            "; U+110000\n\tDB 81H,0B1H,55H,08H,0FFH\n");
        row("asm table past 0xFFFF from its origin",
            {"AB", "--format", "asm", "--origin", "0xFFE0"}, 2,
            {"the table runs from 0xFFE0 to 0x1001F, past the 16-bit address 0xFFFF"});
        row("C table past 0xFFFF from its origin",
            {"AB", "--format", "c", "--dialect", "sdcc", "--origin", "0xFFE0"}, 2,
            {"runs from 0xFFE0 to 0x1001F"});
        row("C table ending at 0xFFFF",
            {"AB", "--format", "c", "--dialect", "sdcc", "--origin", "0xFFC0"}, 0,
            {"__at(0xFFC0)"});
        row("table past 4 GiB refused before drawing",
            {"--range", "U+0000-U+10FFFF", "--lines", "254", "--rows", "254", "--format", "bin"}, 2,
            {"the table would take at least 9038856192 bytes (1112064 glyphs of 254 x 254 "
             "dots), more than the 4 GiB"});
        row("many characters without a face warn in one line",
            QStringList{"--range", "U+10FFF0-U+10FFFD"} + c1, 0,
            {"warning: U+10FFF4 drawn with no face", "!U+10FFF5 drawn",
             "warning: and 9 more characters like those above"});
        row("full disk named", {"A", "-o", "/dev/full"}, 1,
            {"cannot write /dev/full: No space left on device"});
        row("output to /dev/null", {"A", "-o", "/dev/null"}, 0, {"!pointillo:"});
        row("output - is standard output", {"A", "-o", "-", "--format", "c"}, 0, {"FONT_COUNT 1"});
        row("output to /dev/stdout", {"A", "-o", "/dev/stdout", "--format", "c"}, 0,
            {"FONT_COUNT 1"});
        row("bytes short of a glyph keep the earlier file", {"decode", "-o", "t.bin"}, 1,
            {"holds 3 bytes, which do not fill whole glyphs of 32 bytes (16 lines x 16 rows, row)"},
            "char x[] = {1,2,3};");
        row("labels quote printable characters but quotes and backslashes",
            QStringList{"\"\\A", "--offset", "143,145"} + c1, 0,
            {"/* U+0022 */\n    {0x00},\n    /* \"A\" U+0041 */\n    {0x00},\n    /* U+005C */\n"});
        row("Keil assembler at an origin, 16 bytes a line, any point size",
            {" ", "--format", "asm", "--origin", "1000h", "--point-size", "2047.5"}, 0,
            {"\tORG\t01000H\nfont:\n; U+0020\n\tDB " + QString("00H,").repeated(15) + "00H\n"});
        row("index of 16-bit code points", QStringList{"--range", "U+FFFF"} + c1, 0,
            {"unsigned int code font_index[1] = {\n    0xFFFF\n};"});
        row("the last code point, drawn by no face", QStringList{"--range", "U+10FFFF"} + c1, 0,
            {"unsigned long code font_index[1] = {\n    0x10FFFF\n};",
             "warning: U+10FFFF drawn with no face (an empty box)"});
        row("fallback face named", {"Ա"}, 0, {"warning: U+0531 drawn with", "!no face"});
        row("controls and blanks need no face",
            {"--range", "U+0001-U+00A0", "--range", "U+2000-U+200A"}, 0, {"!warning"});
        row("surrogates skipped", QStringList{"--range", "U+D7FF-U+E000"} + c1, 0,
            {"FONT_COUNT 2\n"});
        row("file's characters, once", QStringList{"--chars-from", "t.bin"} + c1, 0,
            {"FONT_COUNT 3\n"});
        row("C table above 64 KiB warns", big + QStringList{"U+0041-U+0051", "--format", "c"}, 0,
            {"warning: the table holds 69632 bytes, more than the 64 KiB code space"});
        row("table of 64 KiB fits",
            big + QStringList{"U+0041-U+0050", "--format", "asm", "--name", "big"}, 0,
            {"BIG_BYTES\tEQU\t4096", "!warning"});
        row("HEX above 64 KiB at the last origin",
            big + QStringList{"U+0041-U+0051", "--format", "hex", "--origin", "0xFFFFFF"}, 0,
            {":0200000400FFFB\r\n:01FFFF00", "!warning"});
        row("offsets at the scroll bars' ends", {"A", "--offset", "-143,-145"}, 0, {});
        row("unknown option", {"--bogus", "A"}, 2, {"Unknown option 'bogus'"});
        row("two texts", {"A", "B"}, 2, {"give the text as one argument, not 2"});
        row("count 255", {"A", "--lines", "255"}, 2, {"--lines must be a count from 1 to 254"});
        row("count 0", {"A", "--rows", "0"}, 2, {"--rows must be a count"});
        row("no characters", {}, 2, {"no characters to draw"});
        row("range without end", {"--range", "U+0030-"}, 2, {"cannot read the range 'U+0030-'"});
        row("range backwards", {"--range", "U+0040-U+0030"}, 2, {"cannot read the range"});
        row("offset of one number", {"A", "--offset", "5"}, 2, {"--offset must be"});
        row("offset not a number", {"A", "--offset", "1,x"}, 2, {"--offset must be"});
        row("offset beyond the scroll bar", {"A", "--offset", "144,0"}, 2, {"--offset must be"});
        row("region past the surface", {"A", "--region", "1,146"}, 2, {"within 1..143 and 1..145"});
        row("point size 0", {"A", "--point-size", "0"}, 2, {"--point-size must be a size"});
        row("point size 2048", {"A", "--point-size", "2048"}, 2, {"--point-size must be a size"});
        row("origin above 24 bits", {"A", "--origin", "0x1000000"}, 2, {"--origin must be"});
        row("picture and a range", {"--picture", "p.bmp", "--range", "U+0041"}, 2, {"instead of"});
        row("picture and hanzi", {"--picture", "p.bmp", "--gb2312", "1"}, 2, {"instead of"});
        row("user-defined GB code", QStringList{"\uE000"} + gb, 2, {"U+E000 has no GB2312 code"});
        row("last user-defined row", QStringList{"\uE1D6"} + gb, 2, {"U+E1D6 has no GB2312"});
        row("GBK hanzi, first byte below 0xA1", QStringList{"仭"} + gb, 2, {"U+4EED has no"});
        row("GBK hanzi, second byte below 0xA1", QStringList{"癅"} + gb, 2, {"U+7645 has no"});
        row("missing picture", {"--picture", "/none/p"}, 1, {"cannot read the picture /none/p"});
        row("missing text file", {"--chars-from", "/none/t.txt"}, 1, {"cannot read /none/t.txt"});
        row("output not writable", {"A", "-o", "/none/x.dot"}, 1, {"cannot write /none/x.dot"});
        row("absent family warns", {"A", "--font", "Nix"}, 0,
            {"warning: font family 'Nix' is not"});
        row("absent family, strict", {"A", "--font", "Nix", "--strict"}, 1, {"not installed"});
    }

    void inputGivesItsStatusAndMessage() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QStringList, texts);
        QTemporaryDir dir;
        QFile earlier(dir.filePath("t.bin"));
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("ABZB\n") == 5);
        earlier.close();
        const Run run = runTool(args, input, dir.path());
        QCOMPARE(run.status, status);
        const QString shown = run.err + QString::fromUtf8(run.out);
        for (const QString& text : texts)
            QVERIFY2(shown.contains(text.mid(text.startsWith('!'))) != text.startsWith('!'),
                     qPrintable(text + QLatin1String(" in:\n") + shown));
        QCOMPARE(run.err.contains(QLatin1String("usage: pointillo")), status == 2);
        if (status != 0) {
            QCOMPARE(contents(earlier.fileName()), QByteArray("ABZB\n"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"t.bin"});
        }
    }
};

QTEST_MAIN(tst_Cli)
#include "tst_cli.moc"
