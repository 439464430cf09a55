#include "RecordingVek.h"
#include "glyph/GlyphSampler.h"
#include "kivaro/Vek.h"
#include "platform/Colour.h"
#include "platform/PictureSurface.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTest>

#include <cmath>
#include <optional>

using orvane::DrawGlyph;
using orvane::MarkGrid;
using orvane::SampleGlyph;
using platform::PictureSurface;

namespace {

constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kRed = 0xFF;

void shape(PictureSurface& surface, int w, int h) {
    surface.resize(w, h);
    surface.SetBackColor(kGrey);
}

void shape(kivaro::Vek& vek, int rows, int lines) {
    vek.setMaxRows(static_cast<std::uint8_t>(rows));
    vek.setMaxLines(static_cast<std::uint8_t>(lines));
}

void fill(PictureSurface& surface, QRect r, std::uint32_t colour) {
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            surface.PSet(float(x), float(y), colour);
}

QList<QPoint> litDots(kivaro::Vek& vek) {
    QList<QPoint> lit;
    for (int x = 1; x <= vek.MaxRows(); ++x) {
        for (int y = 1; y <= vek.MaxLines(); ++y) {
            std::uint8_t X = std::uint8_t(x), Y = std::uint8_t(y);
            if (vek.Bit(X, Y))
                lit.append(QPoint(x, y));
        }
    }
    return lit;
}

int countColour(const PictureSurface& surface, std::uint32_t colour) {
    int n = 0;
    for (int y = 0; y < surface.ScaleHeight(); ++y)
        for (int x = 0; x < surface.ScaleWidth(); ++x)
            n += surface.Point(float(x), float(y)) == colour ? 1 : 0;
    return n;
}

QRect inkBounds(const PictureSurface& surface) {
    QRect r;
    for (int y = 0; y < surface.ScaleHeight(); ++y)
        for (int x = 0; x < surface.ScaleWidth(); ++x)
            if (surface.Point(float(x), float(y)) != kGrey)
                r |= QRect(x, y, 1, 1);
    return r;
}

// The pixels that lie wholly inside the text's outline together with their eight neighbours,
// from the outline itself rather than from any rendering of it; a hinted glyph may sit up to a
// pixel away from its outline, which the neighbours absorb.
QList<QPoint> strokeInterior(const PictureSurface& surface, const QString& text, float x, float y) {
    const QFontMetricsF metrics(surface.DrawFont(), &surface.Image());
    QPainterPath outline;
    outline.addText(QPointF(x, double(y) + metrics.ascent()), surface.DrawFont(), text);
    QImage coverage(surface.Image().size(), QImage::Format_Alpha8);
    coverage.fill(0);
    QPainter painter(&coverage);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(outline, Qt::black);
    painter.end();
    QList<QPoint> inside;
    const auto full = [&](int px, int py) {
        return coverage.rect().contains(px, py) && qAlpha(coverage.pixel(px, py)) == 255;
    };
    for (int py = 0; py < coverage.height(); ++py) {
        for (int px = 0; px < coverage.width(); ++px) {
            bool all = true;
            for (int dy = -1; dy <= 1 && all; ++dy)
                for (int dx = -1; dx <= 1 && all; ++dx)
                    all = full(px + dx, py + dy);
            if (all)
                inside.append(QPoint(px, py));
        }
    }
    return inside;
}

} // namespace

class tst_Glyph : public QObject {
    Q_OBJECT

private slots:
    void emptyTextLeavesSurfaceBlankAndEveryDotClear();
    void nextDrawRemovesEarlierGlyphAndMarks();
    void printedStrokesAreExactlyBlackInside_data();
    void printedStrokesAreExactlyBlackInside();
    void thinStemsStillCarryExactInk_data();
    void thinStemsStillCarryExactInk();
    void lineBoxTopLeftSitsAtTheOffset();
    void pictureIsPaintedUnscaledAtTheOffset_data();
    void pictureIsPaintedUnscaledAtTheOffset();
    void glyphMovedOffSurfaceLeavesEveryDotClear_data();
    void glyphMovedOffSurfaceLeavesEveryDotClear();
    void anyOfFivePointsOfExactInkMakesAHit_data();
    void anyOfFivePointsOfExactInkMakesAHit();
    void invertGivesTheOppositeOfEveryDot();
    void fractionOutsideOpenIntervalCollapsesToCentre_data();
    void fractionOutsideOpenIntervalCollapsesToCentre();
    void collapsedFractionsEqualSinglePointSampling();
    void coordinatesAreUsedInSinglePrecision_data();
    void coordinatesAreUsedInSinglePrecision();
    void regionIsLimitedToTheSurface();
    void halfRegionStretchesTheGlyph();
    void oneDotSamplesTheMiddleOfTheRegion();
    void everyDotIsWrittenOnceColumnByColumn();
    void innerBoundIsReadAfreshForEveryColumn();
    void gridMarksSitAtCellCentres_data();
    void gridMarksSitAtCellCentres();
    void gridMarksUseTheDrawingWidth();
    void gridMarksNeverCountAsInk();
};

void tst_Glyph::emptyTextLeavesSurfaceBlankAndEveryDotClear() {
    PictureSurface surface, bkp;
    shape(surface, 160, 160);
    kivaro::Vek vek;
    shape(vek, 16, 16);
    vek.SetAll();

    DrawGlyph(surface, bkp, true, QString(), 0, 0);
    SampleGlyph(surface, vek, 160, 160, 0.25f, 0.25f, false, 0);
    QCOMPARE(countColour(surface, kGrey), 160 * 160);
    QVERIFY(litDots(vek).isEmpty());

    MarkGrid(surface, vek, 160, 160, kRed);
    QCOMPARE(countColour(surface, kRed), 256);
}

void tst_Glyph::nextDrawRemovesEarlierGlyphAndMarks() {
    PictureSurface surface, bkp;
    shape(surface, 143, 145);
    surface.SetFontName(QStringLiteral("DejaVu Sans"));
    surface.SetFontSize(60);
    RecordingVek control(16, 16);
    DrawGlyph(surface, bkp, true, QStringLiteral("W"), 0, 0);
    MarkGrid(surface, control, 143, 145, kRed);
    QVERIFY(countColour(surface, 0) > 0);

    DrawGlyph(surface, bkp, true, QString(), 0, 0);
    QCOMPARE(countColour(surface, kGrey), 143 * 145);
}

void tst_Glyph::printedStrokesAreExactlyBlackInside_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::newRow("start-up glyph")
        << "WenQuanYi Zen Hei" << 106.0 << false << false << "英" << 0.0f << 0.0f;
    QTest::newRow("latin, fractional offset")
        << "DejaVu Sans" << 106.0 << false << false << "A" << 10.5f << -3.25f;
    QTest::newRow("bold italic") << "DejaVu Serif" << 72.0 << true << true << "W" << 3.75f << 7.5f;
    QTest::newRow("brush face") << "AR PL UKai CN" << 80.0 << false << false << "永" << 0.3f
                                << 0.6f;
}

void tst_Glyph::printedStrokesAreExactlyBlackInside() {
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QString, text);
    QFETCH(float, x);
    QFETCH(float, y);
    PictureSurface surface, bkp;
    shape(surface, 143, 145);
    surface.SetFontName(family);
    surface.SetFontSize(points);
    surface.SetFontBold(bold);
    surface.SetFontItalic(italic);

    DrawGlyph(surface, bkp, true, text, x, y);

    const QList<QPoint> inside = strokeInterior(surface, text, x, y);
    QVERIFY(inside.size() > 200);
    for (const QPoint& p : inside)
        QCOMPARE(surface.Point(float(p.x()), float(p.y())), std::optional<std::uint32_t>(0));
    // Edges blend the background towards black and nothing else.
    for (int py = 0; py < 145; ++py) {
        for (int px = 0; px < 143; ++px) {
            const std::uint32_t c = *surface.Point(float(px), float(py));
            const std::uint32_t r = c & 0xFF;
            QVERIFY2(c == r * 0x010101u && r <= 0x80, qPrintable(QString::number(c, 16)));
        }
    }
}

void tst_Glyph::thinStemsStillCarryExactInk_data() {
    QTest::addColumn<float>("x");
    for (float x : {0.0f, 0.25f, 0.5f, 0.75f})
        QTest::addRow("x=%g", double(x)) << x;
}

// A stem about one pixel wide that falls across two pixels is only partly covered in each;
// it must still leave ink that sampling can find on every line it crosses.
void tst_Glyph::thinStemsStillCarryExactInk() {
    QFETCH(float, x);
    PictureSurface surface, bkp;
    shape(surface, 40, 40);
    surface.SetFontName(QStringLiteral("DejaVu Sans"));
    surface.SetFontSize(9);

    DrawGlyph(surface, bkp, true, QStringLiteral("|"), 10 + x, 5);

    const QRect box = inkBounds(surface);
    QVERIFY(box.height() > 8);
    for (int py = box.top() + 1; py < box.bottom(); ++py) {
        bool ink = false;
        for (int px = box.left(); px <= box.right(); ++px)
            ink = ink || surface.Point(float(px), float(py)) == 0u;
        QVERIFY2(ink, qPrintable(QStringLiteral("line %1 has no ink").arg(py)));
    }
}

void tst_Glyph::lineBoxTopLeftSitsAtTheOffset() {
    PictureSurface surface, moved, bkp;
    for (PictureSurface* s : {&surface, &moved}) {
        shape(*s, 143, 145);
        s->SetFontName(QStringLiteral("DejaVu Sans"));
        s->SetFontSize(48);
    }
    DrawGlyph(surface, bkp, true, QStringLiteral("H"), 4, 6);
    DrawGlyph(moved, bkp, true, QStringLiteral("H"), 4 + 30, 6 + 20);

    const QRect box = inkBounds(surface);
    QCOMPARE(inkBounds(moved), box.translated(30, 20));
    // "H" stands on the baseline, which lies one ascent below the top of the line box.
    const QFontMetricsF metrics(surface.DrawFont(), &surface.Image());
    QVERIFY(std::abs(box.bottom() + 1 - (6 + metrics.ascent())) <= 1.0);
    QVERIFY(box.top() > 6);
}

void tst_Glyph::pictureIsPaintedUnscaledAtTheOffset_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::newRow("origin") << 0.0f << 0.0f;
    QTest::newRow("partly left and down") << -1.0f << 2.0f;
    QTest::newRow("fractional offset") << 3.5f << 1.25f;
    QTest::newRow("bottom-right corner") << 141.0f << 143.0f;
    QTest::newRow("wholly off to the left") << -143.0f << 0.0f;
}

void tst_Glyph::pictureIsPaintedUnscaledAtTheOffset() {
    QFETCH(float, x);
    QFETCH(float, y);
    QImage picture(4, 3, QImage::Format_RGB32);
    for (int py = 0; py < 3; ++py)
        for (int px = 0; px < 4; ++px)
            picture.setPixel(px, py, qRgb(10 * px, 20 * py, 200));
    PictureSurface surface, bkp;
    shape(surface, 143, 145);
    bkp.SetPicture(picture);
    fill(surface, QRect(0, 0, 143, 145), 0);

    DrawGlyph(surface, bkp, false, QStringLiteral("ignored"), x, y);

    const int ox = int(std::floor(x)), oy = int(std::floor(y));
    for (int py = 0; py < 145; ++py) {
        for (int px = 0; px < 143; ++px) {
            const QPoint p(px - ox, py - oy);
            const std::uint32_t want =
                picture.rect().contains(p) ? platform::FromQRgb(picture.pixel(p)) : kGrey;
            QCOMPARE(*surface.Point(float(px), float(py)), want);
        }
    }
}

void tst_Glyph::glyphMovedOffSurfaceLeavesEveryDotClear_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::newRow("left by the width") << -143.0f << 0.0f;
    QTest::newRow("right by the width") << 143.0f << 0.0f;
    QTest::newRow("up by twice the height") << 0.0f << -290.0f;
    QTest::newRow("down by the height") << 0.0f << 145.0f;
}

void tst_Glyph::glyphMovedOffSurfaceLeavesEveryDotClear() {
    QFETCH(float, x);
    QFETCH(float, y);
    PictureSurface surface, bkp;
    shape(surface, 143, 145);
    surface.SetFontName(QStringLiteral("WenQuanYi Zen Hei"));
    surface.SetFontSize(106);
    kivaro::Vek vek;
    shape(vek, 16, 16);
    DrawGlyph(surface, bkp, true, QStringLiteral("英"), 0, 0);
    SampleGlyph(surface, vek, 143, 145, 0.25f, 0.25f, false, 0);
    QVERIFY(litDots(vek).size() > 20);

    DrawGlyph(surface, bkp, true, QStringLiteral("英"), x, y);
    SampleGlyph(surface, vek, 143, 145, 0.25f, 0.25f, false, 0);
    QVERIFY(litDots(vek).isEmpty());
}

void tst_Glyph::anyOfFivePointsOfExactInkMakesAHit_data() {
    // Cell (3, 4) of a 16 x 16 grid on 160 x 160 spans x 20..29 and y 30..39; with fractions of
    // 0.25 its points are the centre (25, 35), left (22, 35), right (27, 35), above (25, 32)
    // and below (25, 37).
    QTest::addColumn<QRect>("stroke");
    QTest::addColumn<std::uint32_t>("colour");
    QTest::addColumn<bool>("hit");
    QTest::newRow("centre") << QRect(25, 35, 1, 1) << 0u << true;
    QTest::newRow("left point only") << QRect(22, 30, 1, 10) << 0u << true;
    QTest::newRow("right point only") << QRect(27, 35, 1, 1) << 0u << true;
    QTest::newRow("above only") << QRect(24, 32, 3, 1) << 0u << true;
    QTest::newRow("below only") << QRect(25, 37, 1, 1) << 0u << true;
    QTest::newRow("stroke slips between centre and left") << QRect(23, 30, 2, 10) << 0u << false;
    QTest::newRow("stroke slips between centre and below") << QRect(20, 36, 10, 1) << 0u << false;
    QTest::newRow("corner of the cell") << QRect(22, 32, 1, 1) << 0u << false;
    QTest::newRow("grey edge on all five") << QRect(20, 30, 10, 10) << 0x010101u << false;
    QTest::newRow("near-black on all five") << QRect(20, 30, 10, 10) << 0x010000u << false;
    QTest::newRow("red mark on all five") << QRect(20, 30, 10, 10) << kRed << false;
}

void tst_Glyph::anyOfFivePointsOfExactInkMakesAHit() {
    QFETCH(QRect, stroke);
    QFETCH(std::uint32_t, colour);
    QFETCH(bool, hit);
    PictureSurface surface;
    shape(surface, 160, 160);
    fill(surface, stroke, colour);
    kivaro::Vek vek;
    shape(vek, 16, 16);

    SampleGlyph(surface, vek, 160, 160, 0.25f, 0.25f, false, 0);
    const QList<QPoint> want = hit ? QList<QPoint>{QPoint(3, 4)} : QList<QPoint>{};
    QCOMPARE(litDots(vek), want);
}

void tst_Glyph::invertGivesTheOppositeOfEveryDot() {
    PictureSurface surface, bkp;
    shape(surface, 143, 145);
    surface.SetFontName(QStringLiteral("WenQuanYi Zen Hei"));
    surface.SetFontSize(106);
    DrawGlyph(surface, bkp, true, QStringLiteral("英"), 0, 0);
    kivaro::Vek plain, inverted;
    shape(plain, 20, 18);
    shape(inverted, 20, 18);

    SampleGlyph(surface, plain, 143, 145, 0.15f, 0.1f, false, 0);
    SampleGlyph(surface, inverted, 143, 145, 0.15f, 0.1f, true, 0);
    const QList<QPoint> lit = litDots(plain);
    const QList<QPoint> litInverted = litDots(inverted);
    QVERIFY(!lit.isEmpty());
    QCOMPARE(lit.size() + litInverted.size(), 20 * 18);
    for (const QPoint& p : lit)
        QVERIFY(!litInverted.contains(p));
}

void tst_Glyph::fractionOutsideOpenIntervalCollapsesToCentre_data() {
    QTest::addColumn<float>("fx");
    QTest::addColumn<float>("fy");
    QTest::addColumn<bool>("leftAndAboveCount");
    QTest::newRow("quarter") << 0.25f << 0.25f << true;
    QTest::newRow("zero") << 0.0f << 0.0f << false;
    QTest::newRow("exactly a half") << 0.5f << 0.5f << false;
    QTest::newRow("negative") << -0.25f << -0.25f << false;
    QTest::newRow("beyond a half") << 0.75f << 0.75f << false;
    QTest::newRow("not a number") << std::nanf("") << std::nanf("") << false;
}

void tst_Glyph::fractionOutsideOpenIntervalCollapsesToCentre() {
    QFETCH(float, fx);
    QFETCH(float, fy);
    QFETCH(bool, leftAndAboveCount);
    PictureSurface surface;
    shape(surface, 160, 160);
    fill(surface, QRect(2, 5, 1, 1), 0);   // left point of cell (1, 1)
    fill(surface, QRect(15, 12, 1, 1), 0); // upper point of cell (2, 2)
    fill(surface, QRect(35, 35, 1, 1), 0); // centre of cell (4, 4)
    kivaro::Vek vek;
    shape(vek, 16, 16);

    SampleGlyph(surface, vek, 160, 160, fx, fy, false, 0);
    QList<QPoint> want{QPoint(4, 4)};
    if (leftAndAboveCount)
        want = {QPoint(1, 1), QPoint(2, 2), QPoint(4, 4)};
    QCOMPARE(litDots(vek), want);
}

void tst_Glyph::collapsedFractionsEqualSinglePointSampling() {
    PictureSurface surface, bkp;
    shape(surface, 143, 145);
    surface.SetFontName(QStringLiteral("AR PL UMing CN"));
    surface.SetFontSize(106);
    DrawGlyph(surface, bkp, true, QStringLiteral("鬱"), 0, 0);
    kivaro::Vek vek;
    shape(vek, 37, 29);

    SampleGlyph(surface, vek, 143, 145, 0.5f, -1.0f, false, 0);
    const float cw = 143.0f / 37, ch = 145.0f / 29;
    int lit = 0;
    for (int i = 1; i <= 37; ++i) {
        for (int j = 1; j <= 29; ++j) {
            const bool centre = surface.Point(float((i - 0.5) * cw), float((j - 0.5) * ch)) == 0u;
            std::uint8_t X = std::uint8_t(i), Y = std::uint8_t(j);
            QCOMPARE(vek.Bit(X, Y) == 1, centre);
            lit += centre;
        }
    }
    QVERIFY(lit > 50);
}

void tst_Glyph::coordinatesAreUsedInSinglePrecision_data() {
    // One dot over 10 x 10 with fx = 0.1: the left point is (0.5 - 0.1f) * 10 =
    // 3.99999998 in double, exactly 4 once rounded to single precision.
    QTest::addColumn<int>("inkColumn");
    QTest::addColumn<bool>("hit");
    QTest::newRow("pixel of the single-precision point") << 4 << true;
    QTest::newRow("pixel of the double-precision point") << 3 << false;
}

void tst_Glyph::coordinatesAreUsedInSinglePrecision() {
    QFETCH(int, inkColumn);
    QFETCH(bool, hit);
    PictureSurface surface;
    shape(surface, 10, 10);
    fill(surface, QRect(inkColumn, 5, 1, 1), 0);
    RecordingVek control(1, 1);

    SampleGlyph(surface, control, 10, 10, 0.1f, 0.0f, false, 0);
    QCOMPARE(control.Dot(1, 1), hit);
}

void tst_Glyph::regionIsLimitedToTheSurface() {
    PictureSurface surface, bkp;
    shape(surface, 143, 145);
    surface.SetFontName(QStringLiteral("WenQuanYi Zen Hei"));
    surface.SetFontSize(106);
    DrawGlyph(surface, bkp, true, QStringLiteral("英"), 0, 0);
    kivaro::Vek exact, wide;
    shape(exact, 16, 16);
    shape(wide, 16, 16);

    SampleGlyph(surface, exact, 143, 145, 0.25f, 0.25f, false, 0);
    SampleGlyph(surface, wide, 1000, 145.5f, 0.25f, 0.25f, false, 0);
    QVERIFY(!litDots(exact).isEmpty());
    QCOMPARE(litDots(wide), litDots(exact));
}

void tst_Glyph::halfRegionStretchesTheGlyph() {
    PictureSurface surface;
    shape(surface, 160, 160);
    fill(surface, QRect(0, 0, 10, 160), 0); // one cell wide over the whole surface
    kivaro::Vek vek;
    shape(vek, 16, 16);

    SampleGlyph(surface, vek, 160, 160, 0.25f, 0.25f, false, 0);
    QCOMPARE(litDots(vek).size(), 16);
    SampleGlyph(surface, vek, 80, 160, 0.25f, 0.25f, false, 0);
    QCOMPARE(litDots(vek).size(), 32);
    for (const QPoint& p : litDots(vek))
        QVERIFY(p.x() <= 2);
}

void tst_Glyph::oneDotSamplesTheMiddleOfTheRegion() {
    PictureSurface surface;
    shape(surface, 143, 145);
    RecordingVek control(1, 1);
    fill(surface, QRect(71, 72, 1, 1), 0);
    SampleGlyph(surface, control, 143, 145, 0.0f, 0.0f, false, 0);
    QVERIFY(control.Dot(1, 1));

    fill(surface, QRect(71, 72, 1, 1), kGrey);
    fill(surface, QRect(71, 36, 1, 1), 0); // the upper point at a quarter
    SampleGlyph(surface, control, 143, 145, 0.0f, 0.25f, false, 0);
    QVERIFY(control.Dot(1, 1));
    SampleGlyph(surface, control, 143, 145, 0.0f, 0.0f, false, 0);
    QVERIFY(!control.Dot(1, 1));
}

void tst_Glyph::everyDotIsWrittenOnceColumnByColumn() {
    PictureSurface surface;
    shape(surface, 143, 145);
    fill(surface, QRect(0, 0, 60, 50), 0);
    RecordingVek control(254, 254);

    SampleGlyph(surface, control, 143, 145, 0.25f, 0.25f, false, 0);
    QCOMPARE(control.calls.size(), 254 * 254);
    int sets = 0;
    for (int k = 0; k < control.calls.size(); ++k) {
        const RecordingVek::Call& c = control.calls[k];
        QCOMPARE(QPoint(c.x, c.y), QPoint(k / 254 + 1, k % 254 + 1));
        sets += c.kind == 'S';
    }
    QVERIFY(sets > 1000 && sets < 254 * 254 / 2);
}

void tst_Glyph::innerBoundIsReadAfreshForEveryColumn() {
    PictureSurface surface;
    shape(surface, 160, 160);
    RecordingVek control(4, 8);
    // The first read sizes the cells; the next ones bound columns 1, 2, 3 and 4.
    control.ScriptLines([](int read) { return read <= 2 ? 8 : 10 - read; });

    SampleGlyph(surface, control, 160, 160, 0.25f, 0.25f, false, 0);
    QCOMPARE(control.LineReads(), 5);
    QList<int> perColumn(4, 0);
    for (const RecordingVek::Call& c : control.calls)
        ++perColumn[c.x - 1];
    QCOMPARE(perColumn, (QList<int>{8, 7, 6, 5}));
}

void tst_Glyph::gridMarksSitAtCellCentres_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QSize>("surfaceSize");
    QTest::addColumn<QPoint>("first");
    QTest::addColumn<QPoint>("last");
    QTest::newRow("16 x 16 on 160 x 160")
        << 16 << 16 << QSize(160, 160) << QPoint(5, 5) << QPoint(155, 155);
    QTest::newRow("3 x 3 on 100 x 100")
        << 3 << 3 << QSize(100, 100) << QPoint(16, 16) << QPoint(83, 83);
    QTest::newRow("one dot on the glyph surface")
        << 1 << 1 << QSize(143, 145) << QPoint(71, 72) << QPoint(71, 72);
    QTest::newRow("254 x 254 on 143 x 145")
        << 254 << 254 << QSize(143, 145) << QPoint(0, 0) << QPoint(142, 144);
}

void tst_Glyph::gridMarksSitAtCellCentres() {
    QFETCH(int, rows);
    QFETCH(int, lines);
    QFETCH(QSize, surfaceSize);
    QFETCH(QPoint, first);
    QFETCH(QPoint, last);
    PictureSurface surface;
    shape(surface, surfaceSize.width(), surfaceSize.height());
    RecordingVek control(rows, lines);

    MarkGrid(surface, control, 5000, 5000, kRed);
    QCOMPARE(surface.Point(float(first.x()), float(first.y())), std::optional(kRed));
    QCOMPARE(surface.Point(float(last.x()), float(last.y())), std::optional(kRed));
    const QRect marked = [&] {
        QRect r;
        for (int y = 0; y < surfaceSize.height(); ++y)
            for (int x = 0; x < surfaceSize.width(); ++x)
                if (surface.Point(float(x), float(y)) == kRed)
                    r |= QRect(x, y, 1, 1);
        return r;
    }();
    QCOMPARE(marked, QRect(first, last));
    if (rows * 2 <= surfaceSize.width())
        QCOMPARE(countColour(surface, kRed), rows * lines);
    QVERIFY(control.calls.isEmpty());
}

void tst_Glyph::gridMarksUseTheDrawingWidth() {
    PictureSurface surface;
    shape(surface, 160, 160);
    surface.SetDrawWidth(3);
    RecordingVek control(16, 16);

    MarkGrid(surface, control, 160, 160, kRed);
    for (const QPoint& p : {QPoint(5, 5), QPoint(4, 5), QPoint(6, 5), QPoint(5, 4), QPoint(5, 6)})
        QCOMPARE(surface.Point(float(p.x()), float(p.y())), std::optional(kRed));
    QCOMPARE(surface.Point(7, 5), std::optional(kGrey));
    QCOMPARE(surface.Point(5, 3), std::optional(kGrey));
}

void tst_Glyph::gridMarksNeverCountAsInk() {
    PictureSurface surface;
    shape(surface, 160, 160);
    kivaro::Vek vek;
    shape(vek, 16, 16);
    MarkGrid(surface, vek, 160, 160, kRed);
    SampleGlyph(surface, vek, 160, 160, 0.25f, 0.25f, false, 0);
    QVERIFY(litDots(vek).isEmpty());
    // The same marks in the ink colour would light every dot.
    MarkGrid(surface, vek, 160, 160, 0);
    SampleGlyph(surface, vek, 160, 160, 0.25f, 0.25f, false, 0);
    QCOMPARE(litDots(vek).size(), 256);
}

QTEST_MAIN(tst_Glyph)
#include "tst_glyph.moc"
