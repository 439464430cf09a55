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
Run pointillo(const QStringList& args, const QByteArray& input = {}, const QString& folder = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/pointillo"), args);
    p.write(input);
    p.closeWriteChannel();
    Run run;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = p.exitCode();
    run.out = p.readAllStandardOutput();
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The --preview pictures: one '#'/'.' picture per glyph, in table order.
QList<QByteArray> previews(const QString& err) {
    QList<QByteArray> pictures;
    for (const QString& line : err.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("glyph ")))
            pictures.append(QByteArray());
        else if (!pictures.isEmpty() && !line.isEmpty())
            pictures.last() += line.toLatin1() + '\n';
    }
    return pictures;
}

} // namespace

class tst_Cli : public QObject {
    Q_OBJECT

private slots:
    void printsTheWindowsCodeText_data();
    void printsTheWindowsCodeText();
    void tablesHoldTheSampledDotsForTheToolChains_data();
    void tablesHoldTheSampledDotsForTheToolChains();
    void decodeGivesBackTheDotsOfEveryFormat_data();
    void decodeGivesBackTheDotsOfEveryFormat();
    void gb2312IndexIsSortedAndMatchesTheGlyphs();
    void inputGivesItsStatusAndMessage_data();
    void inputGivesItsStatusAndMessage();
};

// Window steps, each also an option of the tool: "lines=N", "rows=N", "column", "c51",
// "offset=X,Y", "region=W,H" before the character is typed; "radius" (a settings change, after
// which the fractions are the standard ones) after it; "picture" imports instead.
void tst_Cli::printsTheWindowsCodeText_data() {
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("steps");
    QTest::newRow("hanzi at start") << "英"
                                    << "";
    QTest::newRow("latin at start") << "g"
                                    << "";
    QTest::newRow("standard fractions after a settings change") << "英"
                                                                << "radius";
    QTest::newRow("other size, column-wise C51") << "字"
                                                 << "lines=24 rows=20 column c51";
    QTest::newRow("moved and smaller region") << "Q"
                                              << "offset=10,-5 region=100,120";
    QTest::newRow("short groups, standard fractions") << "@"
                                                      << "lines=13 rows=11 radius";
    QTest::newRow("picture") << ""
                             << "picture";
}

void tst_Cli::printsTheWindowsCodeText() {
    QFETCH(QString, character);
    QFETCH(QString, steps);
    static const QHash<QString, QString> option{{"lines", "--lines %"},
                                                {"rows", "--rows %"},
                                                {"column", "--order column"},
                                                {"c51", "--syntax c51"},
                                                {"offset", "--offset %"},
                                                {"region", "--region %"},
                                                {"radius", "--fractions standard"}};
    QTemporaryDir dir;
    testing::WindowFixture f;
    orvane::SingleCharWindow& w = *f.window;
    QStringList args = QStringList{character}.filter(QRegularExpression("."));
    for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
        const QString key = step.section('=', 0, 0), value = step.section('=', 1);
        const auto n = [&](int k) { return value.section(',', k, k).toInt(); };
        args += QString(option.value(key)).replace('%', value).split(' ', Qt::SkipEmptyParts);
        if (key == "lines")
            w.HScrl_Lines->setValue(n(0));
        else if (key == "rows")
            w.HScrl_Rows->setValue(n(0));
        else if (key == "column")
            w.Opt_CodeModel[1]->click();
        else if (key == "c51")
            w.Opt_CodeStyle[2]->click();
        else if (key == "offset") {
            w.HScrl_ChrPos->setValue(w.HScrl_ChrPos->maximum() / 2 + n(0));
            w.VScrl_ChrPos->setValue(w.VScrl_ChrPos->maximum() / 2 + n(1));
        } else if (key == "region") {
            w.HScrl_ChrWth->setValue(n(0));
            w.VScrl_ChrHgt->setValue(n(1));
        } else if (key == "picture") {
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(Qt::white);
            picture.setPixel(3, 4, qRgb(0, 0, 0));
            for (int x = 5; x < 35; ++x)
                picture.setPixel(x, 20, qRgb(0, 0, 0));
            QVERIFY(picture.save(dir.filePath("p.bmp")));
            f.dialogs.confirm(dir.filePath("p.bmp"));
            w.Pic_Char_MouseDown(Qt::RightButton);
            args << QStringLiteral("--picture") << dir.filePath("p.bmp");
        }
    }
    if (!character.isEmpty()) {
        // Typed through the input method, as a hanzi is.
        QInputMethodEvent typed;
        typed.setCommitString(character);
        QCoreApplication::sendEvent(w.Txt_Char, &typed);
    }
    if (steps.contains(QStringLiteral("radius")))
        w.HScrl_Radius->setValue(w.HScrl_Radius->value() + 1);
    const Run run = pointillo(args);
    QCOMPARE(run.status, 0);
    QCOMPARE(QString::fromUtf8(run.out), w.Txt_Display->Text());
    // A .dot file is the window's saved file, byte for byte.
    QCOMPARE(pointillo(args + QStringList{"-o", dir.filePath("x.dot")}).status, 0);
    f.dialogs.confirm(dir.filePath("w.dot"));
    w.Cmd_Save_Click();
    QCOMPARE(contents(dir.filePath("x.dot")), contents(dir.filePath("w.dot")));
}

void tst_Cli::tablesHoldTheSampledDotsForTheToolChains_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("order");
    for (const char* format : {"c", "asm", "hex"})
        for (const char* order : {"row", "column"})
            QTest::addRow("%s %s", format, order) << format << order;
}

// The judge is the consumer: sdcc and as31 place the bytes, and they must be the dots the
// preview shows, packed as documented.
void tst_Cli::tablesHoldTheSampledDotsForTheToolChains() {
    QFETCH(QString, format);
    QFETCH(QString, order);
    if (format != QLatin1String("hex") && !mcs51::Available())
        QSKIP("as31 and sdcc are not installed");
    const Run run = pointillo({"A英", "--range", "U+0025", "--lines", "16", "--rows", "13",
                               "--order", order, "--format", format, "--dialect", "sdcc",
                               "--origin", format == "hex" ? "1000h" : "0x1000", "--preview"});
    QCOMPARE(run.status, 0);
    QByteArray expected;
    const QList<QByteArray> pictures = previews(run.err);
    QCOMPARE(pictures.size(), 3);
    for (const QByteArray& picture : pictures)
        expected += mcs51::Pack(picture, order == QLatin1String("row"));
    QCOMPARE(expected.size(), 3 * (order == QLatin1String("row") ? 16 * 2 : 13 * 2));
    const mcs51::Image image =
        format == QLatin1String("hex")
            ? mcs51::ReadIntelHex(run.out, mcs51::kOrigin, int(expected.size()))
            : mcs51::Build(format == QLatin1String("asm"),
                           run.out + (format == QLatin1String("c") ? "\nvoid main(void) {}\n" : ""),
                           int(expected.size()));
    QVERIFY2(image.error.isEmpty(), qPrintable(image.error));
    QCOMPARE(image.bytes.toHex(), expected.toHex());
}

void tst_Cli::decodeGivesBackTheDotsOfEveryFormat_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("order");
    for (const char* format : {"text", "c", "asm", "hex", "bin"})
        for (const char* order : {"row", "column"})
            QTest::addRow("%s %s", format, order) << format << order;
}

void tst_Cli::decodeGivesBackTheDotsOfEveryFormat() {
    QFETCH(QString, format);
    QFETCH(QString, order);
    QTemporaryDir dir;
    const QString file = dir.filePath("t.") + format;
    const QStringList layout{"--lines", "9", "--rows", "11", "--order", order};
    // From this origin the HEX records cross a 64 KiB boundary.
    const Run made = pointillo(QStringList{"w字", "--preview", "--verify", "--format", format,
                                           "--origin", "0xFFF0", "-o", file} +
                               layout);
    QCOMPARE(made.status, 0);
    // Text, HEX and binary carry no layout of their own; c and asm name theirs.
    const bool bare = format == "text" || format == "hex" || format == "bin";
    const Run read =
        pointillo(QStringList{"decode", file} +
                  (bare ? QStringList{"--in-lines", "9", "--in-rows", "11", "--in-order", order}
                        : QStringList{}));
    QCOMPARE(read.status, 0);
    QCOMPARE(previews(QString::fromUtf8(read.out)), previews(made.err));
    QCOMPARE(read.out.contains("U+5B57 字"), format == "text" || format == "c" || format == "asm");
    // Conversion: the table read back and written column-wise is the one made column-wise.
    const Run converted = pointillo(
        QStringList{"decode", file, "--format", "bin", "--order", "column"} +
        (bare ? layout.mid(0, 4).replaceInStrings("--", "--in-") + QStringList{"--in-order", order}
              : QStringList{}));
    const Run direct =
        pointillo(QStringList{"w字", "--format", "bin"} + layout.mid(0, 4) +
                  QStringList{"--order", "column"} +
                  (format == "text" ? QStringList{"--index", "none"} : QStringList{}));
    QCOMPARE(converted.status, 0);
    QCOMPARE(converted.out.toHex(), direct.out.toHex());
}

// Firmware that receives GB2312 text binary-searches the index by the two bytes; the glyph at
// each position must be the character of that code.
void tst_Cli::gb2312IndexIsSortedAndMatchesTheGlyphs() {
    const QStringList small{"--format", "c", "--lines", "1", "--rows", "1"};
    const QString c =
        QString::fromUtf8(pointillo(QStringList{"--gb2312", "1", "--index", "gb2312"} + small).out);
    QStringList keys, codes;
    for (const QString& key : c.section("font_index[3755] = {", 1).section('}', 0, 0).split(','))
        keys << key.trimmed();
    QStringEncoder gb("GB18030");
    for (const auto& m : QRegularExpression("/\\* \"(.)\" U\\+").globalMatch(c))
        codes << "0x" + QByteArray(gb.encode(m.captured(1))).toHex().toUpper();
    QCOMPARE(keys, codes);
    QCOMPARE(keys.size(), 3755);
    QCOMPARE(keys.first() + keys.last(), "0xB0A10xD7F9");
    QVERIFY(std::adjacent_find(keys.begin(), keys.end(), std::greater_equal<>()) == keys.end());
    QVERIFY(pointillo(QStringList{"--gb2312", "2"} + small).out.contains("FONT_COUNT 6763\n"));
}

// Each row: the arguments, the standard input, the status and a text that standard error (or,
// with status 0 and no error text, standard output) holds. Run in a folder holding one earlier
// file, t.c, which no failing run may touch; a usage error is followed by the usage.
void tst_Cli::inputGivesItsStatusAndMessage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* name, QStringList args, int status, QString message,
                        QByteArray input = {}) {
        QTest::newRow(name) << args << input << status << message;
    };
    const QStringList in{"decode", "--in-lines", "2", "--in-rows", "16", "--in-order", "row"};
    const QString picture = "#......##......#\n.#.#.#.#........\n";
    row("help lists defaults", {"--help"}, 0,
        "--point-size <N>               Size of the face in points (default: 106).");
    row("C decimal and octal", in, 0, picture, "unsigned char x[] = {129, 0201, 85, 0};");
    row("C hex and binary, comments", in, 0, picture,
        "/* 2 lines */ const char x[4] = {0x81, // a\n0b10000001, 0x55U, 0};");
    row("assembler H, B and D", in, 0, picture, "t: DB 81H,10000001B ; x\n DB 85D,0\n");
    row("bare list, window style", in, 0, picture, "//V1.0\r\n0x81,0x81,0x55,0x00");
    row("offset at the scroll bars' ends", {"A", "--offset", "-143,-145"}, 0, "");
    row("unknown option", {"--bogus", "A"}, 2, "Unknown option 'bogus'");
    row("count above 254", {"A", "--lines", "255"}, 2,
        "--lines must be a count from 1 to 254, not '255'");
    row("count 0", {"A", "--rows", "0"}, 2, "--rows must be a count");
    row("no characters", {}, 2, "no characters to draw");
    row("range without end", {"--range", "U+0030-"}, 2, "cannot read the range 'U+0030-'");
    row("range backwards", {"--range", "U+0040-U+0030"}, 2, "cannot read the range");
    row("offset beyond the scroll bar", {"A", "--offset", "144,0"}, 2, "--offset must be");
    row("region not a pair of numbers", {"A", "--region", "10,x"}, 2, "--region must be");
    row("char not in GB2312 indexed by it", {"Aé", "--format", "c", "--index", "gb2312"}, 2,
        "U+0041 has no GB2312");
    row("missing picture", {"--picture", "/nonexistent/p.bmp"}, 1,
        "cannot read the picture /nonexistent/p.bmp");
    row("missing text file", {"--chars-from", "/nonexistent/t.txt"}, 1,
        "cannot read /nonexistent/t.txt");
    row("decode of empty standard input", {"decode"}, 1, "standard input: holds no glyph bytes");
    row("decode of nothing", {"decode", "/dev/null"}, 1, "/dev/null: holds no glyph bytes");
    row("output not writable", {"A", "-o", "/nonexistent/x.dot"}, 1,
        "cannot write /nonexistent/x.dot");
    row("bytes short of a glyph keep the earlier file", {"decode", "--format", "c", "-o", "t.c"}, 1,
        "holds 3 bytes, which do not fill whole glyphs of 32 bytes", "char x[] = {1,2,3};");
    row("missing family warns", {"A", "--font", "No Such Face"}, 0,
        "warning: font family 'No Such Face' is not installed");
    row("missing family strict", {"A", "--font", "No Such Face", "--strict"}, 1, "not installed");
    row("fallback glyph warns", {"Ա"}, 0, "warning: U+0531 drawn with");
}

void tst_Cli::inputGivesItsStatusAndMessage() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QFile earlier(dir.filePath("t.c"));
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("kept") == 4);
    earlier.close();
    const Run run = pointillo(args, input, dir.path());
    QCOMPARE(run.status, status);
    const QString shown =
        status == 0 && !message.startsWith("warning") ? QString::fromUtf8(run.out) : run.err;
    QVERIFY2(shown.contains(message), qPrintable(shown));
    QCOMPARE(run.err.contains(QLatin1String("usage: pointillo")), status == 2);
    if (status != 0) {
        QCOMPARE(contents(earlier.fileName()), QByteArray("kept"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"t.c"});
    }
}

QTEST_MAIN(tst_Cli)
#include "tst_cli.moc"
