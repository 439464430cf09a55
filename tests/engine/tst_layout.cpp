// The layout model: what bytes each layout item makes of small hand-drawn glyphs, which read back
// through the same plan, and how layouts are written and read. The column layout's bytes are
// judged by the 8051 tools in the code text's tests.
#include "Layout.h"
#include "Packing.h"

#include <QFile>
#include <QTest>

using pointillo::DotMatrix;
using pointillo::DotPicture;
using pointillo::Layout;
using pointillo::PackingPlan;

namespace {

// A glyph drawn as text: '#' lit, anything else dark.
DotMatrix glyph(const QStringList& picture) {
    DotMatrix dots(int(picture.first().size()), int(picture.size()));
    for (int y = 0; y < dots.height; ++y)
        for (int x = 0; x < dots.width; ++x)
            dots.Set(x, y, picture[y][x] == QLatin1Char('#'));
    return dots;
}

Layout layout(const QString& items) {
    QString error;
    const std::optional<Layout> l = pointillo::ParseLayout(items, &error);
    if (!l)
        qFatal("%s", qPrintable(error));
    return *l;
}

// Ten dots across, two down: a short last word on every row.
const QStringList kWide{"#.#.#.#.##", "##........"};
// Three across, ten down: a second page of two rows and six padding rows.
const QStringList kTall{"#..", ".#.", "..#", "#..", "...", "...", "...", "##.", "#.#", "..."};

} // namespace

class tst_Layout : public QObject {
    Q_OBJECT

private slots:
    void packsTheDotsAsTheLayoutSays_data() {
        QTest::addColumn<QStringList>("picture");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char* name, const QStringList& picture, const char* layout,
                            const char* hex) {
            QTest::newRow(name) << picture << QString(layout) << QByteArray::fromHex(hex);
        };
        row("row: left dot in bit 7, a short word in the low bits", kWide, "row", "AA03C000");
        row("bdf: a short word in the high bits", kWide, "bdf", "AAC0C000");
        row("first dot in bit 0", kWide, "bits=lsb", "55030300");
        row("gfx: rows run on, padded at the end", kWide, "gfx", "AAF000");
        row("p10: a lit dot is 0, padding stays 0", kWide, "p10", "55003FC0");
        row("16-bit words, low byte first", kWide, "word=16,endian=little", "AB020003");
        row("32-bit words, high byte first", kWide, "bdf,word=32", "AAC00000C0000000");
        row("mirrored left to right", kWide, "flip-x", "D5010003");
        row("mirrored top to bottom", kWide, "flip-y", "C000AA03");
        // Ten lines, so that the fourth is reversed as the second is.
        row("every second row reversed", kTall, "serpentine", "04020101000000030500");
        row("max7219: 8 x 8 modules padded with dark rows", kWide, "max7219",
            "AAC0000000000000C000000000000000");
        row("ssd1306: 8-row stripes padded, top dot in bit 0", kTall, "ssd1306", "898204010001");
    }

    void packsTheDotsAsTheLayoutSays() {
        QFETCH(QStringList, picture);
        QFETCH(QString, layout);
        QFETCH(QByteArray, bytes);
        const DotMatrix dots = glyph(picture);
        const PackingPlan plan(::layout(layout), dots.width, dots.height);
        QCOMPARE(plan.Pack(dots).toHex(' ').toUpper(), bytes.toHex(' ').toUpper());
        QCOMPARE(plan.ByteCount(), bytes.size());
        QCOMPARE(DotPicture(plan.Unpack(plan.Pack(dots))), DotPicture(dots));
    }

    // A module far larger than the glyph: more than 255 bytes of padding alone in a row.
    void longPaddingReadsBackInPlace() {
        const DotMatrix dots = glyph(kTall);
        const PackingPlan plan(layout("modules=254x254"), dots.width, dots.height);
        QCOMPARE(plan.ByteCount(), 32 * 254);
        QCOMPARE(DotPicture(plan.Unpack(plan.Pack(dots))), DotPicture(dots));
    }

    void itemsApplyInTurnOverTheRowLayout_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("items");
        // Each preset's own items are in the golden --list-layouts text; items alone, over the
        // row layout, name the guess's readings, which its tests read back.
        QTest::newRow("items after a preset change it")
            << "ssd1306,invert,bits=msb"
            << "scan=columns,band=8,bits=msb,word=8,endian=big,pad=line,short=high,invert";
        QTest::newRow("a preset starts afresh")
            << "invert,word=16,bdf"
            << "scan=rows,band=0,bits=msb,word=8,endian=big,pad=line,short=high";
    }

    void itemsApplyInTurnOverTheRowLayout() {
        QFETCH(QString, given);
        QFETCH(QString, items);
        QCOMPARE(pointillo::LayoutItems(layout(given)), items);
        QCOMPARE(layout(items), layout(given));
    }

    void refusesAMalformedLayout_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const char* item, const char* why) {
            QTest::newRow(name) << QString(item)
                                << QStringLiteral("layout item '%1': %2").arg(item, why);
        };
        row("unknown item", "diagonal", "not an item or a preset (pointillo --list-layouts)");
        row("unknown value", "scan=diagonal", "give rows or columns");
        row("word size", "word=12", "give 8, 16 or 32");
        row("negative band", "band=-1", "give a whole number from 0 to 254");
        row("empty module", "modules=0x8", "give WxH, each from 1 to 254");
        QTest::newRow("empty item") << "row,,invert"
                                    << "layout 'row,,invert' has an empty item";
    }

    void refusesAMalformedLayout() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QString error;
        QCOMPARE(pointillo::ParseLayout(text, &error).has_value(), false);
        QCOMPARE(error, message);
    }

    void theManualShowsWhereEveryPresetPutsEachDot() {
        QFile manual(QStringLiteral(POINTILLO_MANUAL_PAGE));
        QVERIFY(manual.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(manual.readAll());
        for (const pointillo::LayoutPreset& p : pointillo::LayoutPresets()) {
            const QString entry = QStringLiteral(".B %1\n\\fB%2\\fR\n").arg(p.name, p.items);
            const qsizetype at = text.indexOf(entry);
            QVERIFY2(at >= 0, qPrintable(p.name));
            const QString diagram = PackingPlan(layout(p.name), 10, 10).Diagram();
            QCOMPARE(text.mid(text.indexOf(QStringLiteral(".nf\n"), at) + 4, diagram.size()),
                     diagram);
        }
    }
};

QTEST_APPLESS_MAIN(tst_Layout)
#include "tst_layout.moc"
