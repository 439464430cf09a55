// Glyph capture: drawing the character or picture on the glyph surface, sampling the surface
// into the panel at five points a cell, and marking the sampled cell centres.

#include "glyph/GlyphSampler.h"
#include "kivaro/Vek.h"
#include "platform/Colour.h"
#include "platform/PictureSurface.h"

#include <QTest>

#include <cmath>

using orvane::DrawGlyph;
using orvane::MarkGrid;
using orvane::SampleGlyph;
using platform::PictureSurface;

namespace {

constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kRed = 0xFF;

void shape(PictureSurface& surface, QSize size) {
    surface.resize(size);
    surface.SetBackColor(kGrey);
}

void fill(PictureSurface& surface, QRect r, std::uint32_t colour) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            surface.PSet(float(x), float(y), colour);
}

// The pixels of the surface in colour.
QList<QPoint> pixelsOf(const PictureSurface& surface, std::uint32_t colour) {
    QList<QPoint> found;
    for (int y = 0; y < surface.ScaleHeight(); ++y)
        for (int x = 0; x < surface.ScaleWidth(); ++x)
            if (surface.Point(float(x), float(y)) == colour)
                found.append(QPoint(x, y));
    return found;
}

QRect boundsOf(const QList<QPoint>& points) {
    QRect r;
    for (const QPoint& p : points)
        r |= QRect(p, QSize(1, 1));
    return r;
}

// One case of sampling: ink of colour over the rectangle ink of a surface, sampled into matrix
// from the region at its origin with fractions fx and fy; the dots of lit light, no others.
struct Sample {
    QSize surface, matrix;
    QSizeF region;
    float fx, fy;
    QRect ink;
    std::uint32_t colour;
    QRect lit;
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
        for (int k = 0; k < 2; ++k) {
            shape(surface[k], QSize(143, 145));
            surface[k].SetFontName("WenQuanYi Zen Hei");
            surface[k].SetFontSize(80);
            surface[k].PSet(5, 140, kRed);
            DrawGlyph(surface[k], bkp, charMode, "英", float(at.x()) + 30 * k,
                      float(at.y()) + 20 * k);
        }
        const QPoint origin(int(std::floor(at.x())), int(std::floor(at.y())));
        for (int y = 0; y < 145; ++y)
            for (int x = 0; x < 143; ++x) {
                const std::uint32_t c = *surface[0].Point(x, y);
                const QPoint p = QPoint(x, y) - origin;
                if (charMode)
                    QVERIFY2(c == (c & 0xFF) * 0x010101u && (c & 0xFF) <= 0x80,
                             qPrintable(QString::number(c, 16)));
                else
                    QCOMPARE(c, picture.rect().contains(p) ? platform::FromQRgb(picture.pixel(p))
                                                           : kGrey);
            }
        if (charMode) {
            QVERIFY(pixelsOf(surface[0], 0).size() > 2000);
            QCOMPARE(boundsOf(pixelsOf(surface[1], 0)),
                     boundsOf(pixelsOf(surface[0], 0)).translated(30, 20) & QRect(0, 0, 143, 145));
        }
    }

    // Dot (i, j) is lit when any of five points of cell (i, j) has exactly the ink colour:
    // the centre, and fx cell widths left and right of it, fy cell heights above and below.
    // Cell (3, 4) of 16 x 16 on 160 x 160 spans x 20..29, y 30..39, centre (25, 35).
    void dotIsLitWhenOneOfFivePointsHasExactInk_data() {
        QTest::addColumn<Sample>("c");
        const QSize s160(160, 160), m16(16, 16), s143(143, 145), s10(10, 10), m1(1, 1);
        const QSizeF r160(160, 160), r143(143, 145);
        const QRect cell(3, 4, 1, 1), one(1, 1, 1, 1), none;
        const auto row = [](const char* name, Sample c) { QTest::newRow(name) << c; };
        row("centre", {s160, m16, r160, .25f, .25f, {25, 35, 1, 1}, 0, cell});
        row("left point", {s160, m16, r160, .25f, .25f, {22, 30, 1, 10}, 0, cell});
        row("right point", {s160, m16, r160, .25f, .25f, {27, 35, 1, 1}, 0, cell});
        row("upper point", {s160, m16, r160, .25f, .25f, {24, 32, 3, 1}, 0, cell});
        row("lower point", {s160, m16, r160, .25f, .25f, {25, 37, 1, 1}, 0, cell});
        row("between centre and left", {s160, m16, r160, .25f, .25f, {23, 30, 2, 10}, 0, none});
        row("between centre and below", {s160, m16, r160, .25f, .25f, {20, 36, 10, 1}, 0, none});
        row("corner of the cell", {s160, m16, r160, .25f, .25f, {22, 32, 1, 1}, 0, none});
        row("near-black", {s160, m16, r160, .25f, .25f, {20, 30, 10, 10}, 0x010000, none});
        row("red grid mark", {s160, m16, r160, .25f, .25f, {20, 30, 10, 10}, kRed, none});
        row("just below a half reaches the edge",
            {s160, m16, r160, .49f, 0, {20, 35, 1, 1}, 0, cell});
        row("a half collapses to the centre", {s160, m16, r160, .5f, .5f, {20, 35, 1, 1}, 0, none});
        row("negative collapses", {s160, m16, r160, -.25f, -.25f, {22, 35, 1, 1}, 0, none});
        row("NaN collapses", {s160, m16, r160, NAN, NAN, {25, 32, 1, 1}, 0, none});
        // (0.5 - 0.1f) * 10 is 3.99999998 in double and 4 in single precision, where it is used.
        row("single precision", {s10, m1, {10, 10}, .1f, 0, {4, 5, 1, 1}, 0, one});
        row("not double precision", {s10, m1, {10, 10}, .1f, 0, {3, 5, 1, 1}, 0, none});
        row("first pixel", {s10, m1, {1, 1}, 0, 0, {0, 0, 1, 1}, 0, one});
        // 0.99999997 * 143 rounds to 143 in single precision: the right point is off the surface.
        row("point rounded onto the right edge",
            {s143, m1, r143, .49999997f, 0, {0, 73, 1, 1}, 0, none});
        row("region limited to the surface",
            {s160, m16, {1000, 1000}, .25f, .25f, {155, 155, 1, 1}, 0, {16, 16, 1, 1}});
        row("half region stretches",
            {s160, m16, {80, 160}, .25f, .25f, {0, 0, 10, 160}, 0, {1, 1, 2, 16}});
        row("largest matrix",
            {s143, {254, 254}, r143, .15f, .1f, {0, 0, 143, 145}, 0, {1, 1, 254, 254}});
    }
    void dotIsLitWhenOneOfFivePointsHasExactInk() {
        QFETCH(Sample, c);
        PictureSurface glyph;
        shape(glyph, c.surface);
        fill(glyph, c.ink, c.colour);
        kivaro::Vek plain, inverted;
        for (kivaro::Vek* v : {&plain, &inverted}) {
            v->setMaxRows(std::uint8_t(c.matrix.width()));
            v->setMaxLines(std::uint8_t(c.matrix.height()));
            v->SetAll();
            SampleGlyph(glyph, *v, float(c.region.width()), float(c.region.height()), c.fx, c.fy,
                        v == &inverted, 0);
        }
        for (int y = 1; y <= c.matrix.height(); ++y)
            for (int x = 1; x <= c.matrix.width(); ++x) {
                std::uint8_t X = std::uint8_t(x), Y = std::uint8_t(y);
                QCOMPARE(plain.Bit(X, Y) == 1, c.lit.contains(x, y));
                QCOMPARE(inverted.Bit(X, Y) == 1, !c.lit.contains(x, y));
            }
    }

    // One mark at the pixel of every cell centre, DrawWidth across, within the surface.
    void gridMarksSitAtCellCentres_data() {
        QTest::addColumn<QSize>("matrix");
        QTest::addColumn<QSize>("surface");
        QTest::addColumn<int>("drawWidth");
        QTest::newRow("16 x 16 on 160 x 160") << QSize(16, 16) << QSize(160, 160) << 1;
        QTest::newRow("3 x 5 on 100 x 100") << QSize(3, 5) << QSize(100, 100) << 1;
        QTest::newRow("one dot") << QSize(1, 1) << QSize(143, 145) << 1;
        QTest::newRow("254 x 254 on 143 x 145") << QSize(254, 254) << QSize(143, 145) << 1;
        QTest::newRow("3 pixels across") << QSize(16, 8) << QSize(160, 160) << 3;
    }
    void gridMarksSitAtCellCentres() {
        QFETCH(QSize, matrix);
        QFETCH(QSize, surface);
        QFETCH(int, drawWidth);
        PictureSurface glyph;
        shape(glyph, surface);
        glyph.SetDrawWidth(drawWidth);
        kivaro::Vek vek;
        vek.setMaxRows(std::uint8_t(matrix.width()));
        vek.setMaxLines(std::uint8_t(matrix.height()));
        vek.SetAll();
        MarkGrid(glyph, vek, 5000, 5000, kRed);
        const float cw = float(surface.width()) / float(matrix.width());
        const float ch = float(surface.height()) / float(matrix.height());
        QImage want(surface, QImage::Format_RGB32);
        want.fill(0);
        const int reach = drawWidth / 2; // a square: 3 across is round to the pixel
        for (int i = 1; i <= matrix.width(); ++i)
            for (int j = 1; j <= matrix.height(); ++j)
                for (int d = 0; d < (2 * reach + 1) * (2 * reach + 1); ++d) {
                    const QPoint p(
                        int(std::floor(float((i - 0.5) * cw))) + d % (2 * reach + 1) - reach,
                        int(std::floor(float((j - 0.5) * ch))) + d / (2 * reach + 1) - reach);
                    if (want.rect().contains(p))
                        want.setPixel(p, 1);
                }
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x)
                QCOMPARE(glyph.Point(x, y) == kRed, qBlue(want.pixel(x, y)) == 1);
        QCOMPARE(glyph.CurrentX(), float((matrix.width() - 0.5) * cw));
        QCOMPARE(glyph.CurrentY(), float((matrix.height() - 0.5) * ch));
        std::uint8_t X = 1, Y = 1;
        QCOMPARE(vek.Bit(X, Y), 1); // the panel is only read
    }
};

QTEST_MAIN(TstGlyph)
#include "tst_glyph.moc"
