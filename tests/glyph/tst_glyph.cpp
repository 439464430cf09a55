// Glyph capture: loading the picture, sampling the glyph into the panel, marking the cells.

#include "PictureLoader.h"
#include "glyph/GlyphSampler.h"
#include "kivaro/Vek.h"
#include "platform/Colour.h"
#include "platform/PictureSurface.h"

#include <QBuffer>
#include <QPainter>
#include <QTemporaryFile>
#include <QTest>

#include <cmath>

namespace {

constexpr std::uint32_t kGrey = 0x808080, kRed = 0xFF, kWhite = 0xFFFFFF;

// Ink painted in colour on grey and sampled for seek lights lit; cell (3, 4) is x 20..29, y 30..39.
struct Sample {
    QRect ink{}, lit{};
    float fx = .25f, fy = .25f;
    std::uint32_t colour = 0, seek = 0;
    QSize matrix{16, 16}, surface{160, 160}, region{160, 160};
    int drawWidth = 1;
    bool invert = false;
};

} // namespace

Q_DECLARE_METATYPE(Sample)

class TstGlyph : public QObject {
    Q_OBJECT

private slots:
    // A picture is taken as stored: its orientation tag is not applied. Where it is drawn, the
    // window's glyph tests judge, and the tool's, which sample it as the window does.
    void pictureIsLoadedAsStored() {
        static const QRgb pixels[] = {0, 0xFF, 0xFF00, 0xFF0000, 0xFFFF, 0xFF00FF};
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        QVERIFY(buffer.open(QIODevice::WriteOnly) &&
                QImage(reinterpret_cast<const uchar*>(pixels), 3, 2, QImage::Format_RGB32)
                    .save(&buffer, "jpg"));
        // After the start marker, an Exif block whose one tag says "turned by 90 degrees".
        jpeg.insert(2, QByteArray::fromHex("ffe100224578696600004d4d002a0000000800010112000300"
                                           "0000010006000000000000"));
        QTemporaryFile file;
        QVERIFY(file.open() && file.write(jpeg) == jpeg.size() && file.flush());
        QCOMPARE(pointillo::LoadPicture(file.fileName()).size(), QSize(3, 2));
    }

    // A dot is lit when one of five points of its cell has exactly the ink colour: the centre
    // (which the inverted and white rows sample), fx cell widths beside it, fy cell heights above
    // and below. Grid marks, DrawWidth across,
    // sit at the pixel of every centre and nowhere else.
    void cellIsSampledAtFivePointsAndMarkedAtItsCentre_data() {
        QTest::addColumn<Sample>("c");
        const QRect cell(3, 4, 1, 1), one(1, 1, 1, 1), all(1, 1, 254, 254);
        const QSize s143(143, 145), s10(10, 10), m1(1, 1);
        const auto row = [](const char* name, Sample c) { QTest::newRow(name) << c; };
        row("left point", {.ink = {22, 30, 1, 10}, .lit = cell});
        row("right point", {.ink = {27, 35, 1, 1}, .lit = cell});
        row("upper point", {.ink = {24, 32, 3, 1}, .lit = cell});
        row("lower point", {.ink = {25, 37, 1, 1}, .lit = cell});
        row("near-black", {.ink = {20, 30, 10, 10}, .colour = 0x010000});
        row("inverted", {.ink = {25, 35, 1, 1}, .lit = cell, .invert = true});
        row("white ink", {.ink = {25, 35, 1, 1}, .lit = cell, .colour = kWhite, .seek = kWhite});
        row("a half collapses", {.ink = {20, 35, 1, 1}, .fx = .5f, .fy = .5f});
        row("negative collapses", {.ink = {22, 35, 1, 1}, .fx = -.25f, .fy = -.25f});
        // (0.5 - 0.1f) * 10 is 3.99999998 in double and 4 in single precision, where it is used.
        row("single precision", {{4, 5, 1, 1}, one, .1f, 0, 0, 0, m1, s10, {10, 10}});
        row("first pixel", {{0, 0, 1, 1}, one, 0, 0, 0, 0, m1, s10, {1, 1}});
        // 0.99999997 * 143 is 143 in single precision: the right point reads no pixel at all.
        row("right point off the edge", {{0, 73, 1, 1}, {}, .49999997f, 0, 0, 0, m1, s143, s143});
        row("nor before its line", {{142, 71, 1, 1}, {}, .49999997f, 0, 0, 0, m1, s143, s143});
        row("marks 3 pixels across", {.drawWidth = 3});
        row("largest matrix", {{0, 0, 143, 145}, all, .15f, .1f, 0, 0, {254, 254}, s143, s143});
    }
    void cellIsSampledAtFivePointsAndMarkedAtItsCentre() {
        QFETCH(Sample, c);
        platform::PictureSurface glyph;
        glyph.resize(c.surface);
        glyph.SetBackColor(kGrey);
        QPainter(&glyph.MutableImage()).fillRect(c.ink, platform::ToQColor(c.colour));
        QImage want = glyph.Image().copy();
        const float w = float(c.region.width()), h = float(c.region.height());
        kivaro::Vek vek;
        vek.setMaxRows(std::uint8_t(c.matrix.width()));
        vek.setMaxLines(std::uint8_t(c.matrix.height()));
        vek.SetAll(); // so that a dot sampling leaves alone shows
        orvane::SampleGlyph(glyph, vek, w, h, c.fx, c.fy, c.invert, c.seek);
        glyph.SetDrawWidth(c.drawWidth);
        orvane::MarkGrid(glyph, vek, w, h, kRed);
        const QSize r = c.region.boundedTo(c.surface);
        const float cw = float(r.width()) / float(c.matrix.width());
        const float ch = float(r.height()) / float(c.matrix.height());
        QPainter paint(&want);
        for (std::uint8_t y = 1; y <= c.matrix.height(); ++y)
            for (std::uint8_t x = 1; x <= c.matrix.width(); ++x) {
                QCOMPARE(vek.Bit(x, y) == 1, c.lit.contains(x, y) != c.invert);
                // A square: 3 across is round to the pixel.
                paint.fillRect(int(std::floor(float((x - 0.5) * cw))) - c.drawWidth / 2,
                               int(std::floor(float((y - 0.5) * ch))) - c.drawWidth / 2,
                               c.drawWidth, c.drawWidth, Qt::red);
            }
        paint.end();
        QVERIFY(glyph.Image() == want);
    }
};

QTEST_MAIN(TstGlyph)
#include "tst_glyph.moc"
