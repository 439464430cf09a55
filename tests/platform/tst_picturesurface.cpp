#include "platform/PictureSurface.h"
#include "platform/PlatformError.h"

#include <QFontMetricsF>
#include <QSignalSpy>
#include <QTest>

#include <optional>

using platform::PictureSurface;

class tst_PictureSurface : public QObject {
    Q_OBJECT

private slots:
    void scaleSizeIsTheInnerAreaAlsoWhileHidden();
    void growingKeepsWhatWasDrawn();
    void clsFillsWithBackColorAndResetsPosition();
    void pointMapsToThePixelContainingIt_data();
    void pointMapsToThePixelContainingIt();
    void psetAndPointShareOneMapping_data();
    void psetAndPointShareOneMapping();
    void coloursTravelAsBgr();
    void wideDrawWidthPaintsARoundDot();
    void unusableValuesAreRefused();
    void printMovesToTheNextLine();
    void fontSizesAreMeasuredAt96Dpi();
    void paintPictureIgnoresAnEmptyPicture();
    void mousePressReportsButtonAndInnerPosition();
    // Faults found by using the real window as a new user would.
    void pictureIsPaintedAtItsOwnPixelSize_data();
    void pictureIsPaintedAtItsOwnPixelSize();
};

void tst_PictureSurface::scaleSizeIsTheInnerAreaAlsoWhileHidden() {
    PictureSurface surface;
    surface.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    surface.setLineWidth(2);
    surface.resize(147, 149);
    QCOMPARE(surface.ScaleWidth(), 143.0);
    QCOMPARE(surface.ScaleHeight(), 145.0);
    QCOMPARE(surface.Image().size(), QSize(143, 145));
    QCOMPARE(surface.Image().format(), QImage::Format_RGB32);
}

void tst_PictureSurface::growingKeepsWhatWasDrawn() {
    PictureSurface surface;
    surface.resize(10, 10);
    surface.SetBackColor(0x808080);
    surface.PSet(9, 9, 0);
    surface.resize(20, 12);
    QCOMPARE(surface.Point(9, 9), std::optional<std::uint32_t>(0));
    QCOMPARE(surface.Point(19, 11), std::optional<std::uint32_t>(0x808080));
}

void tst_PictureSurface::clsFillsWithBackColorAndResetsPosition() {
    PictureSurface surface;
    surface.resize(30, 20);
    surface.SetBackColor(0x123456);
    surface.PSet(3, 4, 0xFF);
    surface.SetCurrentX(12.5f);
    surface.SetCurrentY(7);
    surface.Cls();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            QCOMPARE(surface.Point(float(x), float(y)), std::optional<std::uint32_t>(0x123456));
    QCOMPARE(surface.CurrentX(), 0.0f);
    QCOMPARE(surface.CurrentY(), 0.0f);
}

void tst_PictureSurface::pointMapsToThePixelContainingIt_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<int>("column"); // -1: outside
    QTest::newRow("origin") << 0.0f << 5.0f << 0;
    QTest::newRow("just below the next pixel") << 0.999f << 5.0f << 0;
    QTest::newRow("half") << 2.5f << 5.0f << 2;
    QTest::newRow("last column") << 9.999f << 5.0f << 9;
    QTest::newRow("right edge is outside") << 10.0f << 5.0f << -1;
    QTest::newRow("just left of the origin") << -0.001f << 5.0f << -1;
    QTest::newRow("minus a half") << -0.5f << 5.0f << -1;
    QTest::newRow("far beyond") << 3e20f << 5.0f << -1;
    QTest::newRow("above") << 4.0f << -0.25f << -1;
    QTest::newRow("not a number") << std::nanf("") << 5.0f << -1;
}

void tst_PictureSurface::pointMapsToThePixelContainingIt() {
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(int, column);
    PictureSurface surface;
    surface.resize(10, 10);
    surface.SetBackColor(0x808080);
    for (int c = 0; c < 10; ++c)
        surface.PSet(float(c), 5, std::uint32_t(c));
    const std::optional<std::uint32_t> colour = surface.Point(x, y);
    if (column < 0)
        QVERIFY(!colour.has_value());
    else
        QCOMPARE(colour, std::optional<std::uint32_t>(std::uint32_t(column)));
}

void tst_PictureSurface::psetAndPointShareOneMapping_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("whole") << 3.0f << 4.0f << QPoint(3, 4);
    QTest::newRow("fractions") << 3.75f << 4.5f << QPoint(3, 4);
    QTest::newRow("a hair below whole") << 2.9999f << 3.9999f << QPoint(2, 3);
}

void tst_PictureSurface::psetAndPointShareOneMapping() {
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(QPoint, pixel);
    PictureSurface surface;
    surface.resize(8, 8);
    surface.SetBackColor(0x808080);
    surface.PSet(x, y, 0xFF);
    QCOMPARE(surface.Point(x, y), std::optional<std::uint32_t>(0xFF));
    int red = 0;
    for (int py = 0; py < 8; ++py)
        for (int px = 0; px < 8; ++px)
            red += surface.Point(float(px), float(py)) == 0xFFu;
    QCOMPARE(red, 1);
    QCOMPARE(surface.Point(float(pixel.x()), float(pixel.y())), std::optional<std::uint32_t>(0xFF));
    QCOMPARE(surface.CurrentX(), x);
}

void tst_PictureSurface::coloursTravelAsBgr() {
    PictureSurface surface;
    surface.resize(4, 4);
    surface.PSet(1, 1, 0x0000FF);
    QCOMPARE(surface.Image().pixel(1, 1), qRgb(255, 0, 0));
    surface.PSet(2, 2, 0x00FF0000);
    QCOMPARE(surface.Image().pixel(2, 2), qRgb(0, 0, 255));
    QCOMPARE(surface.Point(2, 2), std::optional<std::uint32_t>(0xFF0000));
}

void tst_PictureSurface::wideDrawWidthPaintsARoundDot() {
    PictureSurface surface;
    surface.resize(20, 20);
    surface.SetBackColor(0x808080);
    surface.SetDrawWidth(5);
    surface.PSet(10, 10, 0xFF);
    const auto red = [&](int x, int y) { return surface.Point(float(x), float(y)) == 0xFFu; };
    QVERIFY(red(10, 10) && red(8, 10) && red(12, 10) && red(10, 8) && red(10, 12));
    QVERIFY(!red(8, 8) && !red(13, 10) && !red(10, 7));
}

void tst_PictureSurface::unusableValuesAreRefused() {
    PictureSurface surface;
    try {
        surface.SetDrawWidth(0);
        QFAIL("a drawing width of 0 was taken");
    } catch (const platform::PlatformError& e) {
        QCOMPARE(e.number(), PictureSurface::kErrInvalidValue);
    }
    QCOMPARE(surface.DrawWidth(), 1);
    surface.SetFontSize(20);
    QVERIFY_THROWS_EXCEPTION(platform::PlatformError, surface.SetFontSize(0));
    QVERIFY_THROWS_EXCEPTION(platform::PlatformError, surface.SetFontSize(std::nan("")));
    QCOMPARE(surface.FontSize(), 20.0);
}

void tst_PictureSurface::printMovesToTheNextLine() {
    PictureSurface surface;
    surface.resize(100, 100);
    surface.SetFontName(QStringLiteral("DejaVu Sans"));
    surface.SetFontSize(12);
    surface.SetCurrentX(30);
    surface.SetCurrentY(5);
    surface.Print(QStringLiteral("x"));
    const QFontMetricsF metrics(surface.DrawFont(), &surface.Image());
    QCOMPARE(surface.CurrentX(), 0.0f);
    QCOMPARE(surface.CurrentY(), float(5 + metrics.height()));
}

void tst_PictureSurface::fontSizesAreMeasuredAt96Dpi() {
    PictureSurface surface;
    surface.resize(300, 300);
    QCOMPARE(surface.Image().logicalDpiX(), 96);
    QCOMPARE(surface.Image().logicalDpiY(), 96);
    surface.SetFontName(QStringLiteral("DejaVu Sans"));
    surface.SetFontSize(72);
    const QFontMetricsF metrics(surface.DrawFont(), &surface.Image());
    // DejaVu Sans: ascent plus descent is 1.164 em; 72 points are 96 pixels at 96 dpi.
    QVERIFY(qAbs(metrics.ascent() + metrics.descent() - 1.164 * 96) < 2);
}

void tst_PictureSurface::paintPictureIgnoresAnEmptyPicture() {
    PictureSurface surface;
    surface.resize(5, 5);
    surface.SetBackColor(0x808080);
    surface.PaintPicture(QImage(), 0, 0);
    QCOMPARE(surface.Point(2, 2), std::optional<std::uint32_t>(0x808080));
}

void tst_PictureSurface::mousePressReportsButtonAndInnerPosition() {
    PictureSurface surface;
    surface.setFrameStyle(QFrame::Box | QFrame::Plain);
    surface.setLineWidth(2);
    surface.resize(50, 40);
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));
    QSignalSpy spy(&surface, &PictureSurface::MouseDown);
    QTest::mousePress(&surface, Qt::RightButton, Qt::ShiftModifier, QPoint(12, 7));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(spy[0][1].value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::ShiftModifier));
    QCOMPARE(spy[0][2].toPointF(), QPointF(10, 5));
}

void tst_PictureSurface::pictureIsPaintedAtItsOwnPixelSize_data() {
    QTest::addColumn<double>("ratio");
    QTest::newRow("plain, 96 dpi") << 1.0;
    QTest::newRow("named @3x, stored at 288 dpi") << 3.0;
}
void tst_PictureSurface::pictureIsPaintedAtItsOwnPixelSize() {
    QFETCH(double, ratio);
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(Qt::black);
    picture.setDevicePixelRatio(ratio);
    picture.setDotsPerMeterX(int(3780 * ratio));
    picture.setDotsPerMeterY(int(3780 * ratio));
    PictureSurface surface;
    surface.resize(12, 12);
    surface.SetBackColor(0xFFFFFF);
    surface.PaintPicture(picture, 2, 3);
    QCOMPARE(surface.Point(8, 7), std::optional<std::uint32_t>(0)); // the last picture pixel
    QCOMPARE(surface.Point(9, 7), std::optional<std::uint32_t>(0xFFFFFF));
    QCOMPARE(surface.Point(8, 8), std::optional<std::uint32_t>(0xFFFFFF));
}

QTEST_MAIN(tst_PictureSurface)
#include "tst_picturesurface.moc"
