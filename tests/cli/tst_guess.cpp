// pointillo guess: the engine's search over every layout the grammar writes, and the command
// run as a process on tables the tool made.
#include "GlyphMaker.h"
#include "Layout.h"
#include "LayoutGuess.h"
#include "Packing.h"
#include "cli/CliRun.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace pointillo;
using cli::Run;
using cli::runTool;
using cli::writeFile;

namespace {

DotMatrix glyphOf(const QString& character, int width, int height) {
    GlyphOptions options;
    options.width = width;
    options.height = height;
    const QList<uint> cps = character.toUcs4();
    return GlyphMaker(options).MakeCharacter(char32_t(cps.first())).dots;
}

// A layout with every item drawn from the grammar, as the guess tries them.
Layout randomLayout(quint32 seed) {
    QRandomGenerator r(seed);
    Layout l;
    l.scan = r.bounded(2) ? Layout::Scan::Columns : Layout::Scan::Rows;
    l.flipX = r.bounded(2);
    l.flipY = r.bounded(2);
    l.serpentine = r.bounded(2);
    l.band = r.bounded(2) ? 8 : 0;
    l.bits = r.bounded(2) ? Layout::Bits::Lsb : Layout::Bits::Msb;
    l.word = QList<int>{8, 16, 32}[r.bounded(3)];
    l.endian = r.bounded(2) ? Layout::Endian::Little : Layout::Endian::Big;
    l.pad = r.bounded(2) ? Layout::Pad::Glyph : Layout::Pad::Line;
    l.shortWord = r.bounded(2) ? Layout::Short::High : Layout::Short::Low;
    l.invert = r.bounded(2);
    if (r.bounded(2))
        l.module = QSize(8, 8);
    return l;
}

Layout parsed(const QString& text) {
    QString error;
    const std::optional<Layout> l = ParseLayout(text, &error);
    if (!l)
        qFatal("layout '%s' does not parse: %s", qPrintable(text), qPrintable(error));
    return *l;
}

} // namespace

class tst_Guess : public QObject {
    Q_OBJECT

private slots:
    // The byte count the search filters sizes by is the one the plan makes.
    void byteCountIsThePlans_data() {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        for (quint32 seed = 1; seed <= 40; ++seed) {
            QRandomGenerator r(seed * 7919);
            const int w = 1 + r.bounded(40);
            const int h = 1 + r.bounded(40);
            QTest::addRow("seed %u, %d x %d", seed, w, h) << seed << w << h;
        }
    }

    void byteCountIsThePlans() {
        QFETCH(quint32, seed);
        QFETCH(int, width);
        QFETCH(int, height);
        const Layout l = randomLayout(seed);
        QCOMPARE(LayoutByteCount(l, width, height), PackingPlan(l, width, height).ByteCount());
    }

    // Every reading is named so that --layout reads it back to the same bit mapping.
    void readingNamesReadBack_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("16 x 16") << 16 << 16;
        QTest::newRow("5 x 7") << 5 << 7;
    }

    void readingNamesReadBack() {
        QFETCH(int, width);
        QFETCH(int, height);
        DotMatrix dots(width, height);
        QRandomGenerator r(width * 100 + height);
        for (auto& d : dots.lit)
            d = std::uint8_t(r.bounded(2));
        const std::vector<LayoutReading> readings = DistinctReadings(width, height);
        QVERIFY(readings.size() > 100);
        QSet<QString> names;
        for (const LayoutReading& reading : readings) {
            QVERIFY2(!names.contains(reading.name), qPrintable(reading.name));
            names.insert(reading.name);
            const PackingPlan back(parsed(reading.name), width, height);
            QCOMPARE(back.Sources(), reading.plan.Sources());
            QCOMPARE(back.Pack(dots), reading.plan.Pack(dots));
        }
        QCOMPARE(readings.front().name, QStringLiteral("row"));
    }

    // With the glyph to compare with, the best reading packs it to the table's bytes; without
    // it, the glyph is still among the pictures listed.
    void guessNamesTheLayoutOfATableItMade_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        for (const LayoutPreset& p : LayoutPresets())
            QTest::addRow("英 %s", qPrintable(p.name))
                << QStringLiteral("英") << p.name << 16 << 16;
        for (const char* preset : {"row", "ssd1306", "max7219-generic", "gfx", "st7920"})
            QTest::addRow("A 10 x 12 %s", preset)
                << QStringLiteral("A") << QString(preset) << 10 << 12;
        for (quint32 seed = 1; seed <= 8; ++seed) {
            const QString items = LayoutItems(randomLayout(seed));
            QTest::addRow("英 random %u", seed) << QStringLiteral("英") << items << 16 << 16;
            QTest::addRow("A 12 x 14 random %u", seed) << QStringLiteral("A") << items << 12 << 14;
        }
    }

    void guessNamesTheLayoutOfATableItMade() {
        QFETCH(QString, character);
        QFETCH(QString, layout);
        QFETCH(int, width);
        QFETCH(int, height);
        const DotMatrix glyph = glyphOf(character, width, height);
        const QByteArray bytes = PackingPlan(parsed(layout), width, height).Pack(glyph);
        const GuessResult result = GuessLike(bytes, {{glyph}}, 5);
        QVERIFY(!result.ranked.empty());
        const GuessEntry& best = result.ranked.front();
        QCOMPARE(PackingPlan(parsed(best.reading.name), width, height).Pack(glyph), bytes);
        QCOMPARE(best.agree, best.dots);
        QCOMPARE(best.dots, qint64(width) * height);
        QCOMPARE(best.strayBits, qint64(0));
        QCOMPARE(best.glyphs.first(), glyph);
        // A preset's table is named by a preset, or by a layout as simple that reads it alike.
        if (PresetName(parsed(layout)) == layout)
            QVERIFY2(best.reading.simplicity <= 1, qPrintable(best.reading.name));
        const GuessResult blind = GuessBlind(bytes, {QSize(width, height)}, 12);
        QVERIFY(blind.ranked.size() <= 12);
        QVERIFY(blind.pictures >= qsizetype(blind.ranked.size()));
        QVERIFY2(std::any_of(blind.ranked.begin(), blind.ranked.end(),
                             [&](const GuessEntry& e) { return e.glyphs.first() == glyph; }),
                 "not listed");
    }

    // The command with --like: the first line is a layout that decode reads the table with.
    // Without --lines/--rows a c table's header gives the size, else the sizes that fit the
    // bytes are searched.
    void commandNamesTheLayoutDecodeTakes_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("character");
        QTest::addColumn<QSize>("size");
        QTest::newRow("ssd1306 英")
            << "t.bin" << QStringLiteral("ssd1306") << QStringLiteral("英") << QSize(16, 16);
        QTest::newRow("random 3 英")
            << "t.bin" << LayoutItems(randomLayout(3)) << QStringLiteral("英") << QSize(16, 16);
        QTest::newRow("row A, 8 x 12, searched")
            << "t.bin" << QStringLiteral("row") << QStringLiteral("A") << QSize(8, 12);
        QTest::newRow("gfx A, 10 x 12, c table")
            << "t.h" << QStringLiteral("gfx") << QStringLiteral("A") << QSize(10, 12);
    }

    void commandNamesTheLayoutDecodeTakes() {
        QFETCH(QString, file);
        QFETCH(QString, layout);
        QFETCH(QString, character);
        QFETCH(QSize, size);
        const QStringList dots{"--rows", QString::number(size.width()), "--lines",
                               QString::number(size.height())};
        QTemporaryDir dir;
        const QString table = dir.filePath(file);
        const QString format = file.endsWith(".h") ? "c" : "bin";
        const QStringList make{character, "--format", format, "--layout", layout, "-o", table};
        QCOMPARE(runTool(make + dots).status, 0);
        const Run guess = runTool({"guess", table, "--like", character});
        QCOMPARE(guess.status, 0);
        const QStringList lines = guess.outText().split(QLatin1Char('\n'));
        const qint64 count = qint64(size.width()) * size.height();
        QCOMPARE(lines[1], QStringLiteral("agreement 100.0 % (%1 of %1 dots), %2 x %3")
                               .arg(count)
                               .arg(size.width())
                               .arg(size.height()));
        QCOMPARE(lines.mid(2, size.height()).join(QLatin1Char('\n')) + QLatin1Char('\n'),
                 DotPicture(glyphOf(character, size.width(), size.height())));
        QVERIFY(lines.value(2 + size.height()).startsWith(QLatin1String("runner-up: ")));
        // A c table names its size, so no other size is tried.
        const QString sized = QStringLiteral(", %1 x %2").arg(size.width()).arg(size.height());
        for (const QString& line : lines.filter(QLatin1String("runner-up: ")))
            QVERIFY2(!file.endsWith(".h") || line.endsWith(sized), qPrintable(line));
        const QStringList in{"decode", table, "--in-rows", dots[1], "--in-lines", dots[3]};
        const Run byGuess = runTool(in + QStringList{"--in-layout", lines[0]});
        QCOMPARE(byGuess.status, 0);
        QCOMPARE(byGuess.out, runTool(in + QStringList{"--in-layout", layout}).out);
    }

    // Without --like the pictures are ranked by how glyph-like they look, over every size that
    // fits the bytes.
    void commandShowsTheUprightGlyphFirst() {
        QTemporaryDir dir;
        const QString table = dir.filePath(QStringLiteral("t.bin"));
        QCOMPARE(runTool({"A", "--format", "bin", "-o", table}).status, 0);
        const Run guess = runTool({"guess", table});
        QCOMPARE(guess.status, 0);
        const QStringList lines = guess.outText().split(QLatin1Char('\n'));
        QCOMPARE(lines[0], QStringLiteral("row"));
        QVERIFY2(lines[1].startsWith(QLatin1String("oddness ")), qPrintable(lines[1]));
        QVERIFY2(lines[1].endsWith(QLatin1String(", 16 x 16, 1 glyph")), qPrintable(lines[1]));
        QCOMPARE(lines.mid(2, 16).join(QLatin1Char('\n')) + QLatin1Char('\n'),
                 DotPicture(glyphOf(QStringLiteral("A"), 16, 16)));
        QVERIFY(guess.outText().contains(QRegularExpression(
            QStringLiteral("\nshown 12 of \\d+ distinct pictures, the most glyph-like first"))));
    }

    // Bytes that no layout cuts into the glyphs asked for are refused, naming the file.
    void refusesBytesItCannotCut_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("no bytes") << QStringList{"guess", "FILE"}
                                  << QByteArray("/* nothing here */\n")
                                  << QStringLiteral("pointillo: FILE: holds no glyph bytes\n");
        QTest::newRow("no bytes on standard input")
            << QStringList{"guess", "-"} << QByteArray()
            << QStringLiteral("pointillo: standard input: holds no glyph bytes\n");
        QTest::newRow("size fits no glyph")
            << QStringList{"guess", "FILE", "--lines", "16", "--rows", "16"}
            << QByteArray("0x01, 0x02, 0x03\n")
            << QStringLiteral("pointillo: FILE: no layout cuts its 3 bytes into whole 16 x 16 "
                              "glyphs\n");
        QTest::newRow("like count does not divide")
            << QStringList{"guess", "FILE", "--like", "ABC"} << QByteArray(32, '\x11')
            << QStringLiteral("pointillo: FILE: holds 32 bytes, which do not divide into 3 "
                              "glyphs, one for each character of --like\n");
        QTest::newRow("like size fits no glyph")
            << QStringList{"guess", "FILE", "--like", "A", "--lines", "16", "--rows", "16"}
            << QByteArray("1, 2, 3, 4, 5\n")
            << QStringLiteral("pointillo: FILE: no layout puts a 16 x 16 glyph in 5 bytes\n");
    }

    void refusesBytesItCannotCut() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("in.h"));
        QVERIFY(writeFile(path, file));
        args.replaceInStrings(QStringLiteral("FILE"), path);
        const Run run = runTool(args, file);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, message.replace(QStringLiteral("FILE"), path));
        QCOMPARE(run.out, QByteArray());
    }
};

QTEST_MAIN(tst_Guess)
#include "tst_guess.moc"
