// What pointillo says and returns: a usage error (status 2) names the mistake and shows the
// usage, a failed run (status 1) names the file, a warning lets the table through, and no
// failed run touches the files already in its folder.
#include "cli/CliRun.h"

#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using cli::Folder;
using cli::Run;

namespace {

constexpr char kOld[] = "OLD CONTENT\n";

const QString kUsage =
    QStringLiteral("usage: pointillo [options] [TEXT]\n"
                   "       pointillo decode [options] [FILE|-]\n"
                   "       pointillo guess [--like TEXT|--picture FILE] [options] [FILE|-]\n"
                   "Try 'pointillo --help' for every option.\n");

const QStringList kOneDotC{"--format", "c", "--lines", "1", "--rows", "1"};
const QStringList kGb2312Index = kOneDotC + QStringList{"--index", "gb2312"};

QString withoutWarnings(const QString& err) {
    static const QRegularExpression warning("^pointillo: warning: .*\\n",
                                            QRegularExpression::MultilineOption);
    return QString(err).remove(warning);
}

} // namespace

class tst_CliMessages : public QObject {
    Q_OBJECT

    QTemporaryDir m_pipes;

private slots:
    // A usage error (status 2) shows the usage after the mistake; a failed run (status 1)
    // names the file and keeps the earlier one.
    void refusalsNameTheMistakeAndTouchNoFile_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const auto usage = [](const char* name, const QStringList& arguments,
                              const QString& message) {
            QTest::newRow(name) << arguments << QByteArray() << 2 << message;
        };
        const auto failure = [](const char* name, const QStringList& arguments,
                                const QString& message, const QByteArray& input = {}) {
            QTest::newRow(name) << arguments << input << 1 << message;
        };
        const QString offset("--offset must be two whole numbers X,Y within -143..143 and "
                             "-145..145, not '%1'");
        const QString noGbCode("U+%1 has no GB2312 code; --index gb2312 needs every character in "
                               "GB2312");
        const QString pastAddress("the table runs from 0xFFE0 to 0x1001F, past the 16-bit address "
                                  "0xFFFF; --format hex or bin suit a bigger table");
        const QString range("cannot read the range '%1': give U+XXXX-U+YYYY with the first not "
                            "above the last");
        const QString notRegular("cannot read /dev/zero: it is not a regular file (give - to "
                                 "read standard input)");
        usage("unknown option", {"--bogus", "A"}, "Unknown option 'bogus'.");
        usage("text in two arguments", {"A", "B"}, "give the text as one argument, not 2");
        usage("255 lines", {"A", "--lines", "255"},
              "--lines must be a count from 1 to 254, not '255'");
        usage("no rows", {"A", "--rows", "0"}, "--rows must be a count from 1 to 254, not '0'");
        usage("no characters", {},
              "no characters to draw: give TEXT, --range, --chars-from, --gb2312 or --picture");
        usage("range without its end", {"--range", "U+0030-"}, range.arg("U+0030-"));
        usage("range backwards", {"--range", "U+0040-U+0030"}, range.arg("U+0040-U+0030"));
        usage("offset of one number", {"A", "--offset", "5"}, offset.arg("5"));
        usage("offset past the scroll bar", {"A", "--offset", "144,0"}, offset.arg("144,0"));
        usage("region taller than the surface", {"A", "--region", "1,146"},
              "--region must be two whole numbers X,Y within 1..143 and 1..145, not '1,146'");
        usage("point size 0", {"A", "--point-size", "0"},
              "--point-size must be a size above 0 and below 2048, not '0'");
        usage("point size 2048", {"A", "--point-size", "2048"},
              "--point-size must be a size above 0 and below 2048, not '2048'");
        usage("origin past 24 bits", {"A", "--origin", "0x1000000"},
              "--origin must be an address such as 0x1000, not '0x1000000'");
        usage("picture and a range", {"--picture", "p.bmp", "--range", "U+0041"},
              "--picture samples a picture instead of characters; give one or the other");
        usage("first user-defined GB code", QStringList{"\uE000"} + kGb2312Index,
              noGbCode.arg("E000"));
        usage("GBK hanzi, first byte below 0xA1", QStringList{"仭"} + kGb2312Index,
              noGbCode.arg("4EED"));
        usage("GBK hanzi, second byte below 0xA1", QStringList{"癅"} + kGb2312Index,
              noGbCode.arg("7645"));
        usage("asm table past 0xFFFF", {"AB", "--format", "asm", "--origin", "0xFFE0"},
              pastAddress);
        usage("sdcc table past 0xFFFF",
              {"AB", "--format", "c", "--dialect", "sdcc", "--origin", "0xFFE0"}, pastAddress);
        // Refused from the sizes alone, before a glyph is drawn.
        // HEX takes at least two characters a byte, and text four ("0xFF,").
        usage("hex table past 4 GiB",
              {"--range", "U+0000-U+41FFF", "--lines", "254", "--rows", "254", "--format", "hex"},
              "the table would take at least 4361289728 bytes (268288 glyphs of 254 x 254 "
              "dots), more than the 4 GiB an output may take");
        usage("c table just past 4 GiB",
              {"--range", "U+0000-U+20C08", "--lines", "254", "--rows", "254", "--format", "c"},
              "the table would take at least 4294997760 bytes (132105 glyphs of 254 x 254 "
              "dots), more than the 4 GiB an output may take");
        usage("gfx font past U+FFFF", {"--range", "U+FFFF-U+10000", "--format", "gfx",
                                       "--dialect", "c99"},
              "--format gfx: a GFX font holds characters from U+0000 to U+FFFF");
        usage("gfx glyph of 128 lines", {"A", "--lines", "128", "--format", "gfx", "--dialect",
                                         "c99"},
              "--format gfx: a GFX glyph's offsets are bytes; give a matrix of at most 127 dots "
              "each way");
        failure("empty standard input", {"decode"}, "standard input: holds no glyph bytes");
        failure("an endless device to decode", {"decode", "/dev/zero"}, notRegular);
        failure("an endless device for characters", {"--chars-from", "/dev/zero"}, notRegular);
        failure("standard input one byte past 64 MiB", {"decode"},
                "cannot read standard input: it holds more than 64 MiB, the most an input may "
                "hold",
                QByteArray(64 * 1024 * 1024 + 1, ' '));
        // A named pipe with no writer would block a reader for ever, one with no reader a writer.
        const QString pipe = m_pipes.filePath("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        failure("a named pipe no one writes to", {"decode", pipe},
                "cannot read " + pipe + ": it is not a regular file (give - to read standard input)");
        failure("a named pipe no one reads", {"A", "-o", pipe},
                "cannot write " + pipe + ": No process reads the pipe");
        failure("bytes short of a glyph, written over t.bin", {"decode", "-o", "t.bin"},
                "standard input: holds 3 bytes, which do not fill whole glyphs of 32 bytes (16 "
                "lines x 16 rows, row)",
                "char x[] = {1,2,3};");
        // Refused at the second glyph, after the first was written to a new file beside t.bin.
        failure("a character a bitmap font lacks, under --strict, written over t.bin",
                {"AԱ", "--font-file", "/usr/share/fonts/X11/misc/wenquanyi_9pt.pcf", "--strict",
                 "-o", "t.bin"},
                "U+0531 is not in WenQuanYi Bitmap Song Regular "
                "(/usr/share/fonts/X11/misc/wenquanyi_9pt.pcf) (--strict)");
        failure("missing picture", {"--picture", "/none/p"},
                "cannot read the picture /none/p: Cannot open /none/p");
        failure("missing text file", {"--chars-from", "/none/t.txt"},
                "cannot read /none/t.txt: Cannot open /none/t.txt");
        failure("output in a missing folder", {"A", "-o", "/none/x.dot"},
                "cannot write /none/x.dot: No such file or directory");
        failure("full disk", {"A", "-o", "/dev/full"},
                "cannot write /dev/full: No space left on device");
    }

    void refusalsNameTheMistakeAndTouchNoFile() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Folder folder;
        const Run run = folder.run(arguments, input);
        QCOMPARE(run.status, status);
        // Characters out of GB2312 are drawn, and may be warned about, before the index refuses
        // them; which face draws them depends on the fonts installed.
        QCOMPARE(withoutWarnings(run.err),
                 "pointillo: " + message + '\n' + (status == 2 ? kUsage : QString()));
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(folder.earlierFile(), QByteArray(Folder::kEarlier));
        QCOMPARE(folder.files(), QStringList{"t.bin"});
    }

    // Warnings go to standard error, one a line, and the table is still made.
    void tableIsMadeWithItsWarnings_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("warnings");
        const QStringList big{"--lines", "128", "--rows", "254", "--range"};
        QStringList noFace;
        for (char last = '0'; last <= '4'; ++last)
            noFace << QString("U+10FFF%1 drawn with no face (an empty box)").arg(last);
        QTest::newRow("five characters without a face, then a count of the rest")
            << QStringList{"--range", "U+10FFF0-U+10FFFD"} + kOneDotC
            << noFace + QStringList{"and 9 more characters like those above (--strict refuses "
                                    "them)"};
        QTest::newRow("controls and blanks need no face")
            << QStringList{"--range", "U+0001-U+00A0", "--range", "U+2000-U+200A"} << QStringList{};
        QTest::newRow("c table past the 64 KiB code space")
            << big + QStringList{"U+0041-U+0051", "--format", "c"}
            << QStringList{"the table holds 69632 bytes, more than the 64 KiB code space of an "
                           "8051; --format bin or hex suits external memory"};
        QTest::newRow("sdcc table ending at the last 16-bit address")
            << QStringList{"AB", "--format", "c", "--dialect", "sdcc", "--origin", "0xFFC0"}
            << QStringList{};
        QTest::newRow("asm table of exactly 64 KiB")
            << big + QStringList{"U+0041-U+0050", "--format", "asm", "--name", "big"}
            << QStringList{};
        QTest::newRow("an installed family") << QStringList{"A", "--font", "DejaVu Sans"}
                                             << QStringList{};
        QTest::newRow("an installed bitmap family")
            << QStringList{"A", "--font", "WenQuanYi Bitmap Song"}
            << QStringList{"'WenQuanYi Bitmap Song' is a bitmap font; --render mono draws its "
                           "own pixels, one a dot"};
        QTest::newRow("offsets at the scroll bars' ends")
            << QStringList{"A", "--offset", "-143,-145"} << QStringList{};
        QTest::newRow("offset and region at their largest")
            << QStringList{"A", "--offset", "143,145", "--region", "143,145"} << QStringList{};
        QTest::newRow("point size just below 2048")
            << QStringList{"A", "--point-size", "2047.5"} << QStringList{};
        QTest::newRow("gfx font ending at U+FFFF")
            << QStringList{"--range", "U+FFFF", "--format", "gfx", "--dialect", "c99"}
            << QStringList{"U+FFFF drawn with no face (an empty box)"};
        QTest::newRow("gfx glyph of 127 x 127 dots")
            << QStringList{"A", "--lines", "127", "--rows", "127", "--format", "gfx", "--dialect",
                           "c99"}
            << QStringList{};
        QTest::newRow("hex table past 64 KiB")
            << big + QStringList{"U+0041-U+0051", "--format", "hex", "--origin", "0xFFFFFF"}
            << QStringList{};
    }

    void tableIsMadeWithItsWarnings() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, warnings);
        const Run run = cli::runTool(arguments);
        QString expected;
        for (const QString& warning : warnings)
            expected += "pointillo: warning: " + warning + '\n';
        // Standard error first: what a refusal says tells more than its status.
        QCOMPARE(run.err, expected);
        QCOMPARE(run.status, 0);
        QVERIFY(!run.out.isEmpty());
    }

    // Which face stands in depends on the fonts installed, so only the start is fixed.
    void characterOutsideTheFaceNamesTheFaceThatDrewIt() {
        const Run run = cli::runTool({"Ա"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err.section(" with ", 0, 0), "pointillo: warning: U+0531 drawn");
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(!run.err.contains("no face"), qPrintable(run.err));
    }

    void absentFamilyWarnsOrFailsWhenStrict_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("warns") << QStringList{"A", "--font", "Nix"} << 0
                               << "pointillo: warning: font family 'Nix' is not installed";
        QTest::newRow("fails with --strict") << QStringList{"A", "--font", "Nix", "--strict"} << 1
                                             << "pointillo: font family 'Nix' is not installed";
    }

    void absentFamilyWarnsOrFailsWhenStrict() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        const Run run = cli::runTool(arguments);
        QCOMPARE(run.status, status);
        QCOMPARE(run.err.section(';', 0, 0), message);
        QCOMPARE(run.out.isEmpty(), status != 0);
    }

    // A pipe may hand over exactly 64 MiB and then, after a pause, the byte past the limit: the
    // tool waits for the end, and refuses the input instead of reading only its first 64 MiB.
    void standardInputPastTheLimitInTwoPartsIsRefused() {
        QProcess tool;
        tool.start(QCoreApplication::applicationDirPath() + "/pointillo", {"decode"});
        tool.write(QByteArray(64 * 1024 * 1024, ' '));
        while (tool.bytesToWrite() > 0)
            QVERIFY(tool.waitForBytesWritten(60000));
        QTest::qWait(200);
        tool.write(" ");
        tool.closeWriteChannel();
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(tool.readAllStandardError()),
                 "pointillo: cannot read standard input: it holds more than 64 MiB, the most an "
                 "input may hold\n");
        QCOMPARE(tool.exitCode(), 1);
    }

    void outputGoesWhereDashOAsks_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("toStandardOutput");
        QTest::newRow("- is standard output") << "-" << true;
        QTest::newRow("/dev/null") << "/dev/null" << false;
    }

    void outputGoesWhereDashOAsks() {
        QFETCH(QString, output);
        QFETCH(bool, toStandardOutput);
        const QStringList table{"A", "--format", "bin"};
        const Run run = cli::runTool(table + QStringList{"-o", output});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, toStandardOutput ? cli::runTool(table).out : QByteArray());
    }

    // Each character is drawn once, and keys of 16 bits are ints, longer ones longs, so that a
    // key is never cut.
    void indexHoldsEachCharacterOnce_data() {
        QTest::addColumn<QStringList>("characters");
        QTest::addColumn<QString>("declaration");
        // t.bin holds "ABZB\n": the repeated B and the line end are left out.
        QTest::newRow("a file's characters")
            << QStringList{"--chars-from", "t.bin"}
            << "const unsigned int code font_index[3] = {\n    0x0041, 0x0042, 0x005A\n};";
        QTest::newRow("a range over the surrogates, which are skipped")
            << QStringList{"--range", "U+D7FF-U+E000"}
            << "const unsigned int code font_index[2] = {\n    0xD7FF, 0xE000\n};";
        QTest::newRow("U+FFFF") << QStringList{"--range", "U+FFFF"}
                                << "const unsigned int code font_index[1] = {\n    0xFFFF\n};";
        QTest::newRow("U+10FFFF") << QStringList{"--range", "U+10FFFF"}
                                  << "const unsigned long code font_index[1] = {\n    0x10FFFF\n};";
    }

    void indexHoldsEachCharacterOnce() {
        QFETCH(QStringList, characters);
        QFETCH(QString, declaration);
        const Run run = Folder().run(characters + kOneDotC);
        QCOMPARE(run.status, 0);
        QVERIFY2(run.outText().contains(declaration), qPrintable(run.outText()));
    }
    // In a folder the user may not write to, a writable file is written in place; until the
    // new content is whole the old one waits in the runtime folder, so that even a kill halfway
    // loses nothing, and where no copy can be made the run is refused. The tool runs as nobody
    // (root ignores folder permissions), under a file-size limit whose signal kills it there.
    void writingInPlaceKeepsTheOldContentOnDisk_data() {
        QTest::addColumn<bool>("copiesAllowed");
        QTest::addColumn<QString>("sizeLimit");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("fileStart");
        QTest::addColumn<QStringList>("copies");
        const QByteArray table("/*\n * pointillo table");
        QTest::newRow("written whole") << true << "unlimited" << 0 << table << QStringList();
        QTest::newRow("killed halfway") << true << "100" << -1 << table << QStringList{kOld};
        QTest::newRow("no folder for a copy")
            << false << "unlimited" << 1 << QByteArray(kOld) << QStringList();
    }
    void writingInPlaceKeepsTheOldContentOnDisk() {
        QFETCH(bool, copiesAllowed);
        QFETCH(QString, sizeLimit);
        QFETCH(int, status);
        QFETCH(QByteArray, fileStart);
        QFETCH(QStringList, copies);
        if (::geteuid() != 0)
            QSKIP("running the tool as another user needs root");
        QTemporaryDir top;
        const QString locked = top.filePath("locked"), runtime = top.filePath("runtime");
        const QString target = locked + "/t.h";
        QVERIFY(QDir().mkdir(locked) && QDir().mkdir(runtime) && cli::writeFile(target, kOld));
        using P = QFileDevice;
        QVERIFY(QFile::setPermissions(top.path(),
                                      P::ReadOwner | P::WriteOwner | P::ExeOwner | P::ExeOther));
        QVERIFY(QFile::setPermissions(locked, P::ReadOwner | P::ExeOwner | P::ExeOther));
        QVERIFY(QFile::setPermissions(target, P::ReadOwner | P::ReadOther | P::WriteOther));
        // Qt takes a runtime folder only from its owner, and only when no one else may enter.
        QVERIFY(QFile::setPermissions(runtime, P::ReadOwner | P::WriteOwner | P::ExeOwner));
        if (copiesAllowed)
            QCOMPARE(::chown(QFile::encodeName(runtime).constData(), 65534, 65534), 0);

        const Run run =
            cli::runProgram("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "env",
                                        "XDG_RUNTIME_DIR=" + runtime, "TMPDIR=" + runtime,
                                        "prlimit", "--fsize=" + sizeLimit,
                                        QCoreApplication::applicationDirPath() + "/pointillo", "A",
                                        "--format", "c", "-o", target});

        QCOMPARE(run.status, status);
        if (status == 1)
            QVERIFY2(run.err.contains("Cannot keep a copy of " + target), qPrintable(run.err));
        QCOMPARE(cli::contents(target).left(fileStart.size()), fileStart);
        QStringList kept;
        for (const QString& name : QDir(runtime).entryList(QDir::Files))
            kept << QString::fromUtf8(cli::contents(runtime + "/" + name));
        QCOMPARE(kept, copies);
    }
};

QTEST_MAIN(tst_CliMessages)
#include "tst_cli_messages.moc"
