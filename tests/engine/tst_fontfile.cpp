// Font files drawn one pixel a dot: FreeType's own monochrome bitmaps placed by the face's
// ascent, advances, placement, the GFX structure judged by avr-gcc, the PNG sheet, and the
// messages for fonts that cannot be used. Unifont's .hex glyphs are in the tool's golden files.
#include "FontFile.h"
#include "GlyphMaker.h"
#include "PreviewSheet.h"
#include "cli/CliRun.h"

#include <QStandardPaths>
#include <QTest>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <functional>

using namespace pointillo;

namespace {

const QString kUnifont = QStringLiteral("/usr/share/unifont/unifont.hex");
const QString kLiberation =
    QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf");
const QString kZenHei = QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc");
const QString kBitmapSong = QStringLiteral("/usr/share/fonts/X11/misc/wenquanyi_9pt.pcf");

// FreeType's monochrome bitmap of cp in the font file, face and pixel size of o (a bitmap font's
// first strike), placed with the origin at column 0 and the baseline at the face's rounded
// ascender, in the matrix of o.
QString freeTypeGlyph(const GlyphOptions& o, char32_t cp, int* advance) {
    const int width = o.width, height = o.height;
    FT_Library library;
    FT_Face face;
    FT_Init_FreeType(&library);
    FT_New_Face(library, QFile::encodeName(o.fontFile).constData(), o.faceIndex, &face);
    if (FT_IS_SCALABLE(face))
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(o.pixelSize));
    else
        FT_Select_Size(face, 0);
    FT_Load_Char(face, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
    const FT_GlyphSlot slot = face->glyph;
    const int ascent = int((face->size->metrics.ascender + 32) >> 6);
    *advance = int((slot->advance.x + 32) >> 6);
    DotMatrix dots(width, height);
    for (int j = 0; j < int(slot->bitmap.rows); ++j)
        for (int i = 0; i < int(slot->bitmap.width); ++i) {
            const int x = slot->bitmap_left + i;
            const int y = ascent - slot->bitmap_top + j;
            const unsigned char* row = slot->bitmap.buffer + j * slot->bitmap.pitch;
            if (x >= 0 && x < width && y >= 0 && y < height && ((row[i / 8] >> (7 - i % 8)) & 1))
                dots.Set(x, y, true);
        }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return DotPicture(dots);
}

// The smallest rectangle holding every pixel of image within area whose colour is wanted.
QRect pixelsWhere(const QImage& image, const QRect& area,
                  const std::function<bool(const QColor&)>& wanted) {
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (wanted(image.pixelColor(x, y)))
                found |= QRect(x, y, 1, 1);
    return found;
}

GlyphOptions fileOptions(const QString& path, int width, int height) {
    GlyphOptions g;
    g.render = GlyphOptions::Render::Mono;
    g.fontFile = path;
    g.width = width;
    g.height = height;
    return g;
}

} // namespace

class tst_FontFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir; // for fonts made by the test

private slots:
    void monoGlyphsAreFreeTypesBitmaps_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("faceIndex");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<QString>("character");
        QTest::addColumn<QSize>("matrix");
        QTest::newRow("TrueType letter at 12 px") << kLiberation << 0 << 12 << "g" << QSize(8, 12);
        QTest::newRow("second face of a collection")
            << kZenHei << 1 << 16 << QStringLiteral("国") << QSize(16, 16);
        QTest::newRow("PCF bitmap font at its one strike")
            << kBitmapSong << 0 << 0 << QStringLiteral("赢") << QSize(14, 14);
    }

    void monoGlyphsAreFreeTypesBitmaps() {
        QFETCH(QString, path);
        QFETCH(int, faceIndex);
        QFETCH(int, pixelSize);
        QFETCH(QString, character);
        QFETCH(QSize, matrix);
        const char32_t cp = character.toUcs4().first();
        GlyphOptions options = fileOptions(path, matrix.width(), matrix.height());
        options.faceIndex = faceIndex;
        options.pixelSize = pixelSize;
        int advance = 0;
        const QString expected = freeTypeGlyph(options, cp, &advance);
        const Glyph g = GlyphMaker(options).MakeCharacter(cp);
        QCOMPARE(DotPicture(g.dots), expected);
        QCOMPARE(g.advance, advance);
    }

    void placementPutsTheInkWhereAsked_data() {
        QTest::addColumn<QStringList>("bitmap");
        QTest::addColumn<int>("fit");
        QTest::addColumn<int>("baseline");
        QTest::addColumn<QStringList>("placed");
        // A 2 x 2 bitmap one column right of the origin, its top 2 rows above the baseline; the
        // face's ascent is 3. The font's own placement is FreeType's, above.
        const QStringList corner{"##", "#."};
        QTest::newRow("baseline at line 2") << corner << int(Placement::Fit::Baseline) << 2
                                            << QStringList{".##..", ".#...", ".....", "....."};
        QTest::newRow("centre: half a dot left and up when odd")
            << corner << int(Placement::Fit::Center) << 0
            << QStringList{".....", ".##..", ".#...", "....."};
        QTest::newRow("centre: a stroke in the bitmap's first column")
            << QStringList{"#.", "#."} << int(Placement::Fit::Center) << 0
            << QStringList{".....", "..#..", "..#..", "....."};
        QTest::newRow("cut at the top") << corner << int(Placement::Fit::Baseline) << 1
                                        << QStringList{".#...", ".....", ".....", "....."};
    }

    void placementPutsTheInkWhereAsked() {
        QFETCH(QStringList, bitmap);
        QFETCH(int, fit);
        QFETCH(int, baseline);
        QFETCH(QStringList, placed);
        FontBitmap b;
        b.pixels = DotMatrix(2, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                b.pixels.Set(x, y, bitmap[y][x] == '#');
        b.left = 1;
        b.top = 2;
        int lost = 0;
        const DotMatrix dots =
            PlaceBitmap(b, 3, Placement{Placement::Fit(fit), baseline}, 5, 4, &lost);
        QCOMPARE(DotPicture(dots), placed.join('\n') + '\n');
        QCOMPARE(lost, int(bitmap.join(QString()).count('#') - placed.join(QString()).count('#')));
    }

    // A .hex file may take up to 64 MiB, and is read to the last digit of its last line.
    void aHexFileOfTheLargestSizeIsReadToItsEnd() {
        const QByteArray glyph = "0041:" + QByteArray(32, 'F');
        QByteArray text(64 * 1024 * 1024 - glyph.size(), ' ');
        for (qsizetype end = 1023; end < text.size(); end += 1024)
            text[end] = '\n';
        text.back() = '\n';
        const QString path = m_dir.filePath("largest.hex");
        QVERIFY(cli::writeFile(path, text + glyph));
        const cli::Run run = cli::runTool({"A", "--font-file", path, "--rows", "8"});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
    }

    // Some tools write a .hex file's digits in lower case.
    void aHexFontMayUseLowerCaseDigits() {
        const QString path = m_dir.filePath("lower.hex");
        QVERIFY(cli::writeFile(path, "0041:ff9f" + QByteArray(28, '0') + '\n'));
        const Glyph a = GlyphMaker(fileOptions(path, 8, 16)).MakeCharacter(U'A');
        QCOMPARE(DotPicture(a.dots).section('\n', 0, 2), "########\n#..#####\n........");
    }

    // Centred ink one dot wider than the matrix loses its first column: the odd dot goes to the
    // right, as when the ink is narrower.
    void centringInkWiderThanTheMatrixCutsItsFirstColumn() {
        FontBitmap b;
        b.pixels = DotMatrix(4, 1);
        for (const int x : {0, 1, 3})
            b.pixels.Set(x, 0, true);
        int lost = 0;
        const DotMatrix dots =
            PlaceBitmap(b, 0, Placement{Placement::Fit::Center, 0}, 3, 1, &lost);
        QCOMPARE(DotPicture(dots), QString("#.#\n"));
        QCOMPARE(lost, 1);
    }

    // Unifont's rows are the file's own when the baseline is its row 14, two above the bottom.
    void unifontGlyphsStandTwoRowsAboveTheBottom() {
        GlyphOptions options = fileOptions(kUnifont, 8, 16);
        options.placement = Placement{Placement::Fit::Baseline, 14};
        const Glyph a = GlyphMaker(options).MakeCharacter(U'A');
        const QStringList fileRows{"........", "........", "........", "........",
                                   "...##...", "..#..#..", "..#..#..", ".#....#.",
                                   ".#....#.", ".######.", ".#....#.", ".#....#.",
                                   ".#....#.", ".#....#.", "........", "........"};
        QCOMPARE(DotPicture(a.dots), fileRows.join('\n') + '\n');
    }

    void aFontThatCannotBeUsedIsNamedWithTheReason_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no font") << QStringList{"A", "--font-file", "/etc/hostname"} << 1
                                 << "pointillo: /etc/hostname is not a font FreeType can read\n";
        QTest::newRow("a strike that does not exist")
            << QStringList{"A", "--font-file", kBitmapSong, "--pixel-size", "30"} << 2
            << "pointillo: " + kBitmapSong + " has no 30 px strike; it has 12 px\n";
        QTest::newRow("a pixel size out of range")
            << QStringList{"A", "--font-file", kUnifont, "--pixel-size", "0"} << 2
            << "pointillo: --pixel-size must be a whole number from 1 to 512, not '0'\n";
        QTest::newRow("a face the collection lacks")
            << QStringList{"A", "--font-file", kZenHei, "--face-index", "9"} << 2
            << "pointillo: " + kZenHei + " has no face 9 (or is not a font FreeType can read)\n";
        const QString badHex = m_dir.filePath("bad.hex");
        QVERIFY(cli::writeFile(badHex, "0041:00000000000000000000000000000000\n0042:0000XYZ\n"));
        const QString oddHex = m_dir.filePath("odd.hex");
        QVERIFY(cli::writeFile(oddHex, "0041:" + QByteArray(48, '0') + '\n'));
        QTest::newRow("a .hex line of no glyph width")
            << QStringList{"A", "--font-file", oddHex} << 1
            << "pointillo: " + oddHex + ": line 1 is not a Unifont .hex glyph (CODE:HEX)\n";
        const QString longCodeHex = m_dir.filePath("long-code.hex");
        QVERIFY(cli::writeFile(longCodeHex, "000000041:" + QByteArray(32, '0') + '\n'));
        QTest::newRow("a .hex code of nine digits")
            << QStringList{"A", "--font-file", longCodeHex} << 1
            << "pointillo: " + longCodeHex + ": line 1 is not a Unifont .hex glyph (CODE:HEX)\n";
        const QString oneHex = m_dir.filePath("one.hex");
        QVERIFY(cli::writeFile(oneHex, "0041:" + QByteArray(32, '0') + '\n'));
        QTest::newRow("a character a .hex font lacks, under --strict")
            << QStringList{"B", "--font-file", oneHex, "--strict"} << 1
            << "pointillo: U+0042 is not in GNU Unifont .hex (" + oneHex + ") (--strict)\n";
        QTest::newRow("a .hex line that is not hex")
            << QStringList{"A", "--font-file", badHex} << 1
            << "pointillo: " + badHex + ": line 2 is not a Unifont .hex glyph (CODE:HEX)\n";
        QTest::newRow("a character the font lacks, under --strict")
            << QStringList{"\u0E01", "--font-file", kBitmapSong, "--strict"} << 1
            << "pointillo: U+0E01 is not in WenQuanYi Bitmap Song Regular (" + kBitmapSong +
                   ") (--strict)\n";
    }

    void aFontThatCannotBeUsedIsNamedWithTheReason() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const cli::Run run = cli::runTool(args);
        QCOMPARE(run.status, status);
        QCOMPARE(run.err.section(QLatin1String("usage:"), 0, 0), message);
    }

    void theSheetShowsALitDiscWhereADotIsLit() {
        const Glyph g = GlyphMaker(fileOptions(kUnifont, 16, 16)).MakeCharacter(U'中');
        const QImage sheet = PreviewSheet({g, g});
        const SheetLayout layout = SheetLayoutFor(2, 16, 16);
        DotMatrix seen(16, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                seen.Set(x, y, sheet.pixelColor(layout.DotCentre(1, x, y)) == QColor(0, 255, 0));
        QCOMPARE(DotPicture(seen), DotPicture(g.dots));
    }

    // 16 dots of 12 pixels make a panel of 192, framed inside the cell's margin of 8; the
    // labels below the panels are left out of the search.
    void theSheetFramesEachPanelInsideItsCell() {
        const Glyph g = GlyphMaker(fileOptions(kUnifont, 16, 16)).MakeCharacter(U'中');
        const QImage sheet = PreviewSheet({g, g});
        const auto frameIn = [&sheet](int left, int right) {
            return pixelsWhere(sheet, QRect(left, 0, right - left, 200),
                               [](const QColor& c) { return c == QColor(0x10, 0x10, 0x10); });
        };
        QCOMPARE(sheet.size(), QSize(2 * 208, 208 + 16));
        QCOMPARE(frameIn(0, 208), QRect(8, 8, 192, 192));
        QCOMPARE(frameIn(208, 416), QRect(216, 8, 192, 192));
    }

    // A character is labelled with itself and its code point, a blank with its code point
    // alone, and a picture with its file's name, here spelling the same label.
    void theSheetLabelsEachGlyph_data() {
        QTest::addColumn<uint>("codePoint");
        QTest::addColumn<QString>("label");
        QTest::newRow("a letter") << 0x41u << "A U+0041";
        QTest::newRow("a blank") << 0x20u << "U+0020";
    }
    void theSheetLabelsEachGlyph() {
        QFETCH(uint, codePoint);
        QFETCH(QString, label);
        Glyph character;
        character.codePoint = codePoint;
        character.dots = DotMatrix(8, 8);
        Glyph picture;
        picture.subject = "/pictures/" + label;
        picture.dots = DotMatrix(8, 8);
        QCOMPARE(PreviewSheet({character}), PreviewSheet({picture}));
    }

    // A label is centred in the 16 pixels from 2 below its panel (202 to 217), and one too long
    // for its cell is cut where the panel above it ends (8 + 192 pixels).
    void aLabelSitsUnderItsPanelAndIsCutAtItsRightEdge() {
        Glyph g;
        g.dots = DotMatrix(16, 16);
        g.subject = QString(60, QChar(0x2588)); // full blocks: ink in every column
        const QImage sheet = PreviewSheet({g, g});
        const QRect ink = pixelsWhere(sheet, QRect(0, 200, 208, sheet.height() - 200),
                                      [](const QColor& c) { return c != QColor(0xF0, 0xF0, 0xF0); });
        QCOMPARE(ink, QRect(8, 203, 192, 14)); // a full block is 14 pixels tall at 11 px
    }

    void aGfxFontCompilesForTheAtmega328p() {
        if (QStandardPaths::findExecutable("avr-gcc").isEmpty())
            QSKIP("avr-gcc is not installed (scripts/setup.sh installs it)");
        QTemporaryDir dir;
        const cli::Run font = cli::runTool({"--range", "U+0041-U+0043", "--font-file", kUnifont,
                                            "--format", "gfx", "--dialect", "arduino", "--width",
                                            "proportional", "-o", dir.filePath("font.h")});
        QCOMPARE(font.status, 0);
        QVERIFY(cli::writeFile(dir.filePath("use.c"),
                               "#include \"font.h\"\n"
                               "uint8_t advanceOfB(void) {\n"
                               "    return pgm_read_byte(&fontGlyphs['B' - 0x41].xAdvance);\n}\n"
                               "const GFXfont *theFont(void) { return &font; }\n"));
        const cli::Run gcc = cli::runProgram(
            "avr-gcc", {"-mmcu=atmega328p", "-Os", "-Wall", "-Wextra", "-Werror", "-c", "use.c"},
            {}, dir.path());
        QVERIFY2(gcc.status == 0, qPrintable(gcc.err));
    }
};

QTEST_MAIN(tst_FontFile)
#include "tst_fontfile.moc"
