// The command-line tool, run as a process: the same text as the window, tables that the 8051
// tool chains accept with the sampled dots in them, read-back of everything it writes, the
// GB2312 index, and the exit status of bad input.
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

Run pointillo(const QStringList& args) {
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/pointillo"), args);
    p.closeWriteChannel(); // an empty standard input
    Run run;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = p.exitCode();
    run.out = p.readAllStandardOutput();
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
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

// Packs a picture the way the code is documented: groups of eight from the left (row-wise)
// or top, first dot in bit 7, a short last group in the low bits.
QByteArray pack(const QByteArray& picture, bool rowWise) {
    const QList<QByteArray> lines = picture.trimmed().split('\n');
    const int along = rowWise ? lines[0].size() : lines.size();
    const int across = rowWise ? lines.size() : lines[0].size();
    QByteArray bytes;
    for (int o = 0; o < across; ++o)
        for (int g = 0; g < along; g += 8) {
            int v = 0;
            for (int k = g; k < along && k < g + 8; ++k)
                v = v * 2 + ((rowWise ? lines[o][k] : lines[k][o]) == '#');
            bytes.append(char(v));
        }
    return bytes;
}

QString tempPath(const QTemporaryDir& dir, const char* name) {
    return dir.filePath(QLatin1String(name));
}

} // namespace

class tst_Cli : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(
            QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/pointillo")));
    }
    void printsTheWindowsCodeText_data();
    void printsTheWindowsCodeText();
    void tablesHoldTheSampledDotsForTheToolChains_data();
    void tablesHoldTheSampledDotsForTheToolChains();
    void decodeGivesBackTheDotsOfEveryFormat_data();
    void decodeGivesBackTheDotsOfEveryFormat();
    void decodeReadsPlainByteLists_data();
    void decodeReadsPlainByteLists();
    void gb2312IndexIsSortedAndMatchesTheGlyphs();
    void badInputGivesItsStatusAndMessage_data();
    void badInputGivesItsStatusAndMessage();
    void failedWriteKeepsTheEarlierFile();
};

// Window steps: "lines=N", "rows=N", "column", "c51", "offset=X,Y", "region=W,H" before the
// character is typed; "radius" (a settings change) after it; "picture" imports instead.
void tst_Cli::printsTheWindowsCodeText_data() {
    QTest::addColumn<QString>("character");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("args");
    QTest::newRow("hanzi at start") << "英" << QStringList{} << QStringList{};
    QTest::newRow("latin at start") << "g" << QStringList{} << QStringList{};
    QTest::newRow("standard fractions after a settings change")
        << "英" << QStringList{"radius"} << QStringList{"--fractions", "standard"};
    QTest::newRow("other size, column-wise C51")
        << "字" << QStringList{"lines=24", "rows=20", "column", "c51"}
        << QStringList{"--lines", "24", "--rows", "20", "--order", "column", "--syntax", "c51"};
    QTest::newRow("moved and smaller region")
        << "Q" << QStringList{"offset=10,-5", "region=100,120"}
        << QStringList{"--offset", "10,-5", "--region", "100,120"};
    QTest::newRow("short groups, standard fractions")
        << "@" << QStringList{"lines=13", "rows=11", "radius"}
        << QStringList{"--lines", "13", "--rows", "11", "--fractions", "standard"};
    QTest::newRow("picture") << "" << QStringList{"picture"} << QStringList{};
}

void tst_Cli::printsTheWindowsCodeText() {
    QFETCH(QString, character);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    testing::WindowFixture f;
    orvane::SingleCharWindow& w = *f.window;
    const auto number = [](const QString& step, int k) {
        return step.section(QLatin1Char('='), 1).section(QLatin1Char(','), k, k).toInt();
    };
    for (const QString& step : steps) {
        if (step.startsWith(QLatin1String("lines=")))
            w.HScrl_Lines->setValue(number(step, 0));
        else if (step.startsWith(QLatin1String("rows=")))
            w.HScrl_Rows->setValue(number(step, 0));
        else if (step == QLatin1String("column"))
            w.Opt_CodeModel[1]->click();
        else if (step == QLatin1String("c51"))
            w.Opt_CodeStyle[2]->click();
        else if (step.startsWith(QLatin1String("offset="))) {
            w.HScrl_ChrPos->setValue(w.HScrl_ChrPos->maximum() / 2 + number(step, 0));
            w.VScrl_ChrPos->setValue(w.VScrl_ChrPos->maximum() / 2 + number(step, 1));
        } else if (step.startsWith(QLatin1String("region="))) {
            w.HScrl_ChrWth->setValue(number(step, 0));
            w.VScrl_ChrHgt->setValue(number(step, 1));
        } else if (step == QLatin1String("picture")) {
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(Qt::white);
            picture.setPixel(3, 4, qRgb(0, 0, 0));
            for (int x = 5; x < 35; ++x)
                picture.setPixel(x, 20, qRgb(0, 0, 0));
            const QString path = tempPath(dir, "p.bmp");
            QVERIFY(picture.save(path));
            f.dialogs.confirm(path);
            w.Pic_Char_MouseDown(Qt::RightButton);
            args << QStringLiteral("--picture") << path;
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
    const Run run = pointillo(QStringList{character}.filter(QRegularExpression(".")) + args);
    QCOMPARE(run.status, 0);
    QCOMPARE(QString::fromUtf8(run.out), w.Txt_Display->Text());
    // A .dot file is the window's saved file, byte for byte.
    const QString dot = tempPath(dir, "x.dot");
    QCOMPARE(pointillo(QStringList{character}.filter(QRegularExpression(".")) + args +
                       QStringList{"-o", dot})
                 .status,
             0);
    f.dialogs.confirm(tempPath(dir, "w.dot"));
    w.Cmd_Save_Click();
    QFile a(dot), b(tempPath(dir, "w.dot"));
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), b.readAll());
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
        expected += pack(picture, order == QLatin1String("row"));
    QCOMPARE(expected.size(), 3 * (order == QLatin1String("row") ? 16 * 2 : 13 * 2));
    const mcs51::Image image = format == QLatin1String("c")
                                   ? mcs51::CompileSdcc(run.out + "\nvoid main(void) {}\n",
                                                        mcs51::kOrigin, expected.size())
                               : format == QLatin1String("asm")
                                   ? mcs51::AssembleAs31(run.out, mcs51::kOrigin, expected.size())
                                   : mcs51::ReadIntelHex(run.out, mcs51::kOrigin, expected.size());
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
    const QString file = tempPath(dir, "t") + QLatin1Char('.') + format;
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

void tst_Cli::decodeReadsPlainByteLists_data() {
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("picture");
    const QByteArray picture = "#......##......#\n.#.#.#.#........\n";
    QTest::newRow("C decimal and octal")
        << QByteArray("unsigned char x[] = {129, 0201, 85, 0};") << picture;
    QTest::newRow("C hex and binary, comments")
        << QByteArray("/* 2 lines */ const char x[4] = {0x81, // a\n0b10000001, 0x55U, 0};")
        << picture;
    QTest::newRow("assembler H, B and D")
        << QByteArray("t: DB 81H,10000001B ; x\n DB 85D,0\n") << picture;
    QTest::newRow("bare list, window style")
        << QByteArray("//V1.0\r\n0x81,0x81,0x55,0x00") << picture;
}

void tst_Cli::decodeReadsPlainByteLists() {
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, picture);
    QTemporaryDir dir;
    QFile file(tempPath(dir, "in.c"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(source) == source.size());
    file.close();
    const Run run = pointillo(
        {"decode", file.fileName(), "--in-lines", "2", "--in-rows", "16", "--in-order", "row"});
    QCOMPARE(run.status, 0);
    QCOMPARE(previews(QString::fromUtf8(run.out)), QList<QByteArray>{picture});
}

// Firmware that receives GB2312 text binary-searches the index by the two bytes; the glyph at
// each position must be the character of that code.
void tst_Cli::gb2312IndexIsSortedAndMatchesTheGlyphs() {
    const Run run = pointillo(
        {"--gb2312", "1", "--index", "gb2312", "--format", "c", "--lines", "1", "--rows", "1"});
    QCOMPARE(run.status, 0);
    const QString c = QString::fromUtf8(run.out);
    const QString index =
        c.section(QStringLiteral("unsigned int code font_index[3755] = {"), 1).section('}', 0, 0);
    QList<uint> keys;
    for (const QString& key : index.split(QLatin1Char(','))) {
        bool ok = false;
        keys.append(key.trimmed().toUInt(&ok, 16));
        QVERIFY(ok);
    }
    QCOMPARE(keys.size(), 3755);
    QCOMPARE(keys.first(), 0xB0A1u);
    QCOMPARE(keys.last(), 0xD7F9u);
    static const QRegularExpression glyph(QStringLiteral("/\\* \"(.)\" U\\+"));
    QStringEncoder gb("GB18030");
    int k = 0;
    for (const QRegularExpressionMatch& m : glyph.globalMatch(c)) {
        const QByteArray code = gb.encode(m.captured(1));
        QCOMPARE(uint(quint8(code[0])) << 8 | quint8(code[1]), keys.value(k));
        QVERIFY(k == 0 || keys[k - 1] < keys[k]);
        ++k;
    }
    QCOMPARE(k, 3755);
    QVERIFY(pointillo({"--gb2312", "2", "--format", "c", "--lines", "1", "--rows", "1"})
                .out.contains("#define FONT_COUNT 6763\n"));
}

void tst_Cli::badInputGivesItsStatusAndMessage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("help lists defaults")
        << QStringList{"--help"} << 0
        << "--point-size <N>               Size of the face in points (default: 106).";
    QTest::newRow("unknown option") << QStringList{"--bogus", "A"} << 2 << "Unknown option 'bogus'";
    QTest::newRow("count above 254") << QStringList{"A", "--lines", "255"} << 2
                                     << "--lines must be a count from 1 to 254, not '255'";
    QTest::newRow("count 0") << QStringList{"A", "--rows", "0"} << 2 << "--rows must be a count";
    QTest::newRow("no characters") << QStringList{} << 2 << "no characters to draw";
    QTest::newRow("range without end")
        << QStringList{"--range", "U+0030-"} << 2 << "cannot read the range 'U+0030-'";
    QTest::newRow("range backwards")
        << QStringList{"--range", "U+0040-U+0030"} << 2 << "cannot read the range";
    QTest::newRow("offset at the scroll bars' ends")
        << QStringList{"A", "--offset", "-143,-145"} << 0 << "";
    QTest::newRow("offset beyond the scroll bar")
        << QStringList{"A", "--offset", "144,0"} << 2 << "--offset must be";
    QTest::newRow("region not a pair of numbers")
        << QStringList{"A", "--region", "10,x"} << 2 << "--region must be";
    QTest::newRow("char not in GB2312 indexed by it")
        << QStringList{"Aé", "--format", "c", "--index", "gb2312"} << 2 << "U+0041 has no GB2312";
    QTest::newRow("missing picture") << QStringList{"--picture", "/nonexistent/p.bmp"} << 1
                                     << "cannot read the picture /nonexistent/p.bmp";
    QTest::newRow("missing text file") << QStringList{"--chars-from", "/nonexistent/t.txt"} << 1
                                       << "cannot read /nonexistent/t.txt";
    QTest::newRow("decode of empty standard input")
        << QStringList{"decode"} << 1 << "standard input: holds no glyph bytes";
    QTest::newRow("decode of nothing")
        << QStringList{"decode", "/dev/null"} << 1 << "/dev/null: holds no glyph bytes";
    QTest::newRow("output not writable")
        << QStringList{"A", "-o", "/nonexistent/x.dot"} << 1 << "cannot write /nonexistent/x.dot";
    QTest::newRow("missing family warns") << QStringList{"A", "--font", "No Such Face"} << 0
                                          << "warning: font family 'No Such Face' is not installed";
    QTest::newRow("missing family strict")
        << QStringList{"A", "--font", "No Such Face", "--strict"} << 1 << "not installed";
    QTest::newRow("fallback glyph warns") << QStringList{"Ա"} << 0 << "warning: U+0531 drawn with";
}

void tst_Cli::badInputGivesItsStatusAndMessage() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    const Run run = pointillo(args);
    QCOMPARE(run.status, status);
    const QString shown =
        status == 0 && args == QStringList{"--help"} ? QString::fromUtf8(run.out) : run.err;
    QVERIFY2(shown.contains(message), qPrintable(shown));
    // A usage error is followed by the usage; nothing else is.
    QCOMPARE(run.err.contains(QLatin1String("usage: pointillo")), status == 2);
}

void tst_Cli::failedWriteKeepsTheEarlierFile() {
    QTemporaryDir dir;
    const QString path = tempPath(dir, "t.c");
    QCOMPARE(pointillo({"AB", "--format", "c", "-o", path}).status, 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    // A count that does not fill whole glyphs is refused before anything is written.
    QFile bad(tempPath(dir, "bad.c"));
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("char x[] = {1,2,3};") > 0);
    bad.close();
    const Run run = pointillo({"decode", bad.fileName(), "--format", "c", "-o", path});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains("holds 3 bytes, which do not fill whole glyphs of 32 bytes"),
             qPrintable(run.err));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

QTEST_MAIN(tst_Cli)
#include "tst_cli.moc"
