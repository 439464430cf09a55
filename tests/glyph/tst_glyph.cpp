// Glyph capture: drawing the character or picture on the glyph surface, sampling the surface
// into the panel at five points a cell, and marking the sampled cell centres.

#include "glyph/GlyphSampler.h"
#include "kivaro/Vek.h"
#include "platform/Colour.h"
#include "platform/PictureSurface.h"

#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cmath>

using platform::PictureSurface;

namespace {

constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kRed = 0xFF;

// A grey surface of the given size with the rectangle ink painted in colour.
void shape(PictureSurface& surface, QSize size, QRect ink = {}, std::uint32_t colour = 0) {
    surface.resize(size);
    surface.SetBackColor(kGrey);
    QPainter(&surface.MutableImage()).fillRect(ink, platform::ToQColor(colour));
}

// One case of sampling and marking: a surface with the rectangle ink painted in colour,
// sampled for the colour seek into matrix from the region at its origin with fractions fx and
// fy; the dots of lit come out lit, no others. Cell (3, 4) of the default grid spans x 20..29,
// y 30..39.
struct Sample {
    QRect ink{}, lit{};
    float fx = .25f, fy = .25f;
    std::uint32_t colour = 0, seek = 0;
    QSize matrix{16, 16};
    QSizeF region{160, 160};
    QSize surface{160, 160};
    int drawWidth = 1;
};

} // namespace

Q_DECLARE_METATYPE(Sample)

class TstGlyph : public QObject {
    Q_OBJECT

private slots:
    // The character's line box, or the picture unscaled, has its top-left corner at the
    // offset (a picture at the offset's whole pixel), on a surface cleared first. The character
    // is drawn in exact ink, which sampling looks for; its edges only blend the background in.
    void glyphIsDrawnAtTheOffset_data() {
        QTest::addColumn<bool>("charMode");
        QTest::addColumn<QPointF>("at");
        QTest::newRow("start-up glyph") << true << QPointF(0, 0);
        QTest::newRow("character at a fractional offset") << true << QPointF(10.5, -3.25);
        QTest::newRow("picture at the origin") << false << QPointF(0, 0);
        QTest::newRow("picture partly left and down") << false << QPointF(-1, 2);
        QTest::newRow("picture at a fractional offset") << false << QPointF(3.5, 1.25);
        QTest::newRow("picture at the bottom-right corner") << false << QPointF(141, 143);
        QTest::newRow("picture wholly off to the left") << false << QPointF(-143, 0);
    }
    void glyphIsDrawnAtTheOffset() {
        QFETCH(bool, charMode);
        QFETCH(QPointF, at);
        QImage picture(4, 3, QImage::Format_RGB32);
        for (int i = 0; i < 12; ++i)
            picture.setPixel(i % 4, i / 4, qRgb(10 * (i % 4), 20 * (i / 4), 200));
        PictureSurface bkp, surface[2];
        bkp.SetPicture(picture);
        for (int k = 0; k < 2; ++k) { // the second glyph lies 30 right of and 20 below the first
            shape(surface[k], {143, 145}, {5, 140, 1, 1}, kRed);
            surface[k].SetFontName("WenQuanYi Zen Hei");
            surface[k].SetFontSize(80);
            orvane::DrawGlyph(surface[k], bkp, charMode, "英", float(at.x()) + 30 * k,
                              float(at.y()) + 20 * k);
        }
        // The character is checked against itself: moved by whole pixels, it is the same.
        QImage want(143, 145, QImage::Format_RGB32);
        want.fill(platform::ToQRgb(kGrey));
        QPainter(&want).drawImage(
            charMode ? QPoint(30, 20) : QPoint(int(std::floor(at.x())), int(std::floor(at.y()))),
            charMode ? surface[0].Image() : picture);
        QVERIFY(surface[charMode ? 1 : 0].Image() == want);
        if (!charMode)
            return;
        const auto* pixel = reinterpret_cast<const QRgb*>(surface[0].Image().constBits());
        QVERIFY(std::count(pixel, pixel + 143 * 145, qRgb(0, 0, 0)) > 2000);
    }

    // Dot (i, j) is lit when any of five points of cell (i, j) has exactly the ink colour:
    // the centre, and fx cell widths left and right of it, fy cell heights above and below.
    // The grid marks then sit at the pixel of every centre, DrawWidth across, and nowhere else.
    void cellIsSampledAtFivePointsAndMarkedAtItsCentre_data() {
        QTest::addColumn<Sample>("c");
        const QRect cell(3, 4, 1, 1), one(1, 1, 1, 1), all(1, 1, 254, 254);
        const QSize s143(143, 145), s10(10, 10), m1(1, 1);
        const auto row = [](const char* name, Sample c) { QTest::newRow(name) << c; };
        row("centre", {.ink = {25, 35, 1, 1}, .lit = cell});
        row("left point", {.ink = {22, 30, 1, 10}, .lit = cell});
        row("right point", {.ink = {27, 35, 1, 1}, .lit = cell});
        row("upper point", {.ink = {24, 32, 3, 1}, .lit = cell});
        row("lower point", {.ink = {25, 37, 1, 1}, .lit = cell});
        row("between centre and left", {.ink = {23, 30, 2, 10}});
        row("between centre and below", {.ink = {20, 36, 10, 1}});
        row("corner of the cell", {.ink = {22, 32, 1, 1}});
        row("near-black", {.ink = {20, 30, 10, 10}, .colour = 0x010000});
        row("red grid mark", {.ink = {20, 30, 10, 10}, .colour = kRed});
        row("white ink",
            {.ink = {25, 35, 1, 1}, .lit = cell, .colour = 0xFFFFFF, .seek = 0xFFFFFF});
        row("ink beyond 24 bits", {.ink = {20, 30, 10, 10}, .seek = 0x1000000});
        row("just below a half reaches the edge", {.ink = {20, 35, 1, 1}, .lit = cell, .fx = .49f});
        row("a half collapses to the centre", {.ink = {20, 35, 1, 1}, .fx = .5f, .fy = .5f});
        row("negative collapses", {.ink = {22, 35, 1, 1}, .fx = -.25f, .fy = -.25f});
        // (0.5 - 0.1f) * 10 is 3.99999998 in double and 4 in single precision, where it is used.
        row("single precision", {{4, 5, 1, 1}, one, .1f, 0, 0, 0, m1, {10, 10}, s10});
        row("not double precision", {{3, 5, 1, 1}, {}, .1f, 0, 0, 0, m1, {10, 10}, s10});
        row("first pixel", {{0, 0, 1, 1}, one, 0, 0, 0, 0, m1, {1, 1}, s10});
        // 0.99999997 * 143 rounds to 143 in single precision: the right point is off the surface,
        // and reads neither the pixel after the end of its line nor the one before its start.
        row("point rounded off the right edge",
            {{0, 73, 1, 1}, {}, .49999997f, 0, 0, 0, m1, s143, s143});
        row("point off the edge is not before the line",
            {{142, 71, 1, 1}, {}, .49999997f, 0, 0, 0, m1, s143, s143});
        row("region limited to the surface",
            {.ink = {155, 155, 1, 1}, .lit = {16, 16, 1, 1}, .region = {1000, 1000}});
        row("half region stretches",
            {.ink = {0, 0, 10, 160}, .lit = {1, 1, 2, 16}, .region = {80, 160}});
        row("marks 3 pixels across", {.drawWidth = 3});
        row("largest matrix", {{0, 0, 143, 145}, all, .15f, .1f, 0, 0, {254, 254}, s143, s143});
    }
    void cellIsSampledAtFivePointsAndMarkedAtItsCentre() {
        QFETCH(Sample, c);
        PictureSurface glyph;
        shape(glyph, c.surface, c.ink, c.colour);
        QImage want = glyph.Image().copy();
        const float w = float(c.region.width()), h = float(c.region.height());
        kivaro::Vek plain, inverted;
        for (kivaro::Vek* v : {&plain, &inverted}) {
            v->setMaxRows(std::uint8_t(c.matrix.width()));
            v->setMaxLines(std::uint8_t(c.matrix.height()));
            v->SetAll(); // so that a dot sampling leaves alone shows
            orvane::SampleGlyph(glyph, *v, w, h, c.fx, c.fy, v == &inverted, c.seek);
        }
        glyph.SetDrawWidth(c.drawWidth);
        orvane::MarkGrid(glyph, plain, w, h, kRed);
        const QSizeF r = c.region.boundedTo(c.surface);
        const float cw = float(r.width()) / float(c.matrix.width());
        const float ch = float(r.height()) / float(c.matrix.height());
        QPainter paint(&want);
        for (std::uint8_t y = 1; y <= c.matrix.height(); ++y)
            for (std::uint8_t x = 1; x <= c.matrix.width(); ++x) {
                QCOMPARE(plain.Bit(x, y) == 1, c.lit.contains(x, y));
                QCOMPARE(inverted.Bit(x, y) == 1, !c.lit.contains(x, y));
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
