#include "GlyphDrawing.h"

#include "platform/Colour.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>

#include <fontconfig/fontconfig.h>

namespace pointillo {

namespace {

// Pixels per metre at 96 dots per inch: QImage reports 96 as its logical dpi for this value.
constexpr int kDotsPerMetre96 = 3780;

// Coverage at or above this level is inside a stroke and takes the ink colour exactly; below
// it the edge is blended, so the outline stays smooth without greying any stroke's inside.
constexpr int kSolidCoverage = 128;

// The Chinese system faces draw a line one em high, 0.86 em above the baseline and 0.14 em
// below it. The free faces reach much further (the sans-serif one 0.96 em up and 0.3 em down),
// which would push the default character out of the bottom of the glyph surface.
constexpr LineBox kChineseSystemLine{0.86, 0.14};

QHash<QString, LineBox>& standInLines() {
    static QHash<QString, LineBox> lines;
    return lines;
}

// Every family name that fontconfig has for the faces of family, in every language. Qt names a
// face in the user's language ("文泉驿正黑" under zh_CN, "文泉驛正黑" under zh_TW), so a face
// known by its English name alone would be missed on those desktops.
QStringList namesInEveryLanguage(const QString& family) {
    QStringList names{family};
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* faces = FcFontList(nullptr, pattern, objects);
    for (int f = 0; faces && f < faces->nfont; ++f) {
        FcChar8* name = nullptr;
        for (int k = 0; FcPatternGetString(faces->fonts[f], FC_FAMILY, k, &name) == FcResultMatch;
             ++k)
            names << QString::fromUtf8(reinterpret_cast<const char*>(name));
    }
    if (faces)
        FcFontSetDestroy(faces);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    names.removeDuplicates();
    return names;
}

QRgb blend(QRgb under, QRgb ink, int weight) {
    const auto mix = [weight](int a, int b) {
        return (a * (255 - weight) + b * weight + 127) / 255;
    };
    return qRgb(mix(qRed(under), qRed(ink)), mix(qGreen(under), qGreen(ink)),
                mix(qBlue(under), qBlue(ink)));
}

void blendCoverage(QImage& target, const QImage& coverage, QPoint topLeft, QRgb ink) {
    for (int y = 0; y < coverage.height(); ++y) {
        const auto* cover = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(target.scanLine(topLeft.y() + y)) + topLeft.x();
        const int width = coverage.width();
        for (int x = 0; x < width; ++x) {
            const int c = qAlpha(cover[x]);
            if (c >= kSolidCoverage)
                row[x] = ink;
            else if (c > 0)
                row[x] = blend(row[x], ink, c * 255 / kSolidCoverage);
        }
    }
}

// The drawn line in pixels: the baseline's depth below its top, and its height.
struct Line {
    double ascent;
    double height;
};

Line lineOf(const QFont& font, const QFontMetricsF& metrics) {
    const auto standIn = standInLines().constFind(QFontInfo(font).family());
    if (standIn == standInLines().cend())
        return {metrics.ascent(), metrics.height()};
    const double em =
        font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * metrics.fontDpi() / 72.0;
    return {standIn->ascent * em, (standIn->ascent + standIn->descent) * em};
}

float sanitiseFraction(float f) {
    return f > 0.0f && f < 0.5f ? f : 0.0f;
}

// Cell coordinates are worked out in double and used in single precision.
float cellCoordinate(int n, double offset, float cell) {
    return static_cast<float>((n - 0.5 + offset) * static_cast<double>(cell));
}

int pixelWithin(float c, int size) {
    const int p = PixelIndex(c);
    return p >= 0 && p < size ? p : -1;
}

} // namespace

QString StartFontName() {
    return QStringLiteral("黑体");
}

void SetStandInLineBox(const QString& family, LineBox box) {
    for (const QString& name : namesInEveryLanguage(family))
        standInLines().insert(name, box);
}

void InstallFontSubstitutes() {
    const QString zenHei = QStringLiteral("WenQuanYi Zen Hei");
    const QString zenHeiSharp = QStringLiteral("WenQuanYi Zen Hei Sharp");
    const QString umingCn = QStringLiteral("AR PL UMing CN");
    const QString umingTw = QStringLiteral("AR PL UMing TW");
    const QString ukaiCn = QStringLiteral("AR PL UKai CN");
    const QString ukaiTw = QStringLiteral("AR PL UKai TW");
    for (const QString& face : {zenHei, zenHeiSharp, umingCn, umingTw, ukaiCn, ukaiTw})
        SetStandInLineBox(face, kChineseSystemLine);
    QFont::insertSubstitutions(QStringLiteral("黑体"), {zenHei, zenHeiSharp});
    QFont::insertSubstitutions(QStringLiteral("宋体"), {umingCn, umingTw, zenHei});
    QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"), {ukaiCn, ukaiTw, zenHei});
}

QImage NewSurfaceImage(QSize size) {
    QImage image(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMetre96);
    image.setDotsPerMeterY(kDotsPerMetre96);
    return image;
}

double PrintText(QImage& target, const QFont& font, const QString& text, float x, float y,
                 std::uint32_t ink) {
    const QFontMetricsF metrics(font, &target);
    const Line line = lineOf(font, metrics);
    const QPointF baseline(x, double(y) + line.ascent);
    if (text.isEmpty())
        return line.height;
    QRectF box = metrics.boundingRect(text).translated(baseline);
    box |= QRectF(QPointF(x, y), QSizeF(metrics.horizontalAdvance(text), line.height));
    const QRect area = box.toAlignedRect().adjusted(-2, -2, 2, 2) & target.rect();
    if (area.isEmpty())
        return line.height;
    // The alpha channel of a premultiplied image holds the same coverage as an Alpha8 image
    // would, and Qt paints text into it several times faster.
    QImage coverage(area.size(), QImage::Format_ARGB32_Premultiplied);
    coverage.setDotsPerMeterX(kDotsPerMetre96);
    coverage.setDotsPerMeterY(kDotsPerMetre96);
    coverage.fill(0);
    QPainter painter(&coverage);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(baseline - QPointF(area.topLeft()), text);
    painter.end();
    blendCoverage(target, coverage, area.topLeft(), platform::ToQRgb(ink));
    return line.height;
}

double LineAscent(const QFont& font) {
    const QImage surface = NewSurfaceImage(QSize(1, 1));
    return lineOf(font, QFontMetricsF(font, &surface)).ascent;
}

void PaintPicture(QImage& target, const QImage& picture, float x, float y) {
    if (picture.isNull())
        return;
    // One picture pixel is one surface pixel, whatever the picture's device pixel ratio (Qt's
    // reader takes a file name ending in "@2x" as one) or stored resolution says.
    QImage unscaled = picture;
    unscaled.setDevicePixelRatio(1.0);
    QPainter painter(&target);
    painter.drawImage(QPoint(PixelIndex(x), PixelIndex(y)), unscaled);
    painter.end();
}

SampleGrid::SampleGrid(const QImage& image, float w, float h, int columns, int lines, float fx,
                       float fy, std::uint32_t ink)
    : m_image(image), m_bits(m_image.constBits()), m_stride(m_image.bytesPerLine()),
      m_target(platform::ToQRgb(ink) & 0xFFFFFFu), m_possible(ink <= 0xFFFFFFu),
      m_fx(sanitiseFraction(fx)) {
    const float limitedW = w >= float(image.width()) ? float(image.width()) : w;
    const float limitedH = h >= float(image.height()) ? float(image.height()) : h;
    m_cw = limitedW / static_cast<float>(columns);
    m_ch = limitedH / static_cast<float>(lines);
    const float sy = sanitiseFraction(fy);
    for (int j = 1; j < int(m_rows.size()); ++j)
        m_rows[std::size_t(j)] = axis(j, m_ch, sy, image.height());
    m_rows[0] = {-1, -1, -1};
}

SampleGrid::AxisPoints SampleGrid::axis(int n, float cell, float fraction, int size) const {
    return {pixelWithin(cellCoordinate(n, 0.0, cell), size),
            pixelWithin(cellCoordinate(n, -static_cast<double>(fraction), cell), size),
            pixelWithin(cellCoordinate(n, static_cast<double>(fraction), cell), size)};
}

bool SampleGrid::is(int x, int y) const {
    if (x < 0 || y < 0)
        return false;
    const auto* line = reinterpret_cast<const QRgb*>(m_bits + y * m_stride);
    return (line[x] & 0xFFFFFFu) == m_target;
}

bool SampleGrid::Hit(int i, int j) const {
    if (!m_possible)
        return false;
    const AxisPoints col = axis(i, m_cw, m_fx, m_image.width());
    const AxisPoints& row = m_rows[std::size_t(j)];
    return is(col.centre, row.centre) || is(col.before, row.centre) || is(col.after, row.centre) ||
           is(col.centre, row.before) || is(col.centre, row.after);
}

float SampleGrid::CentreX(int i) const {
    return cellCoordinate(i, 0.0, m_cw);
}

float SampleGrid::CentreY(int j) const {
    return cellCoordinate(j, 0.0, m_ch);
}

QFont SurfaceFont(const QString& family, double points, bool bold, bool italic, bool underline,
                  bool strikeout) {
    QFont font;
    font.setFamily(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeout);
    return font;
}

QImage DrawGlyphSurface(const SampleSettings& s, const QString& text, const QImage& picture) {
    QImage surface = NewSurfaceImage(kGlyphSurfaceSize);
    surface.fill(platform::ToQRgb(kGlyphBackColor));
    if (!text.isEmpty())
        PrintText(surface, s.font, text, s.x, s.y, kInk);
    else
        PaintPicture(surface, picture, s.x, s.y);
    return surface;
}

DotMatrix SampleDots(const QImage& surface, const SampleSettings& s) {
    const SampleGrid grid(surface, s.w, s.h, s.width, s.height, s.fx, s.fy, kInk);
    DotMatrix dots(s.width, s.height);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            dots.Set(x, y, grid.Hit(x + 1, y + 1));
    return dots;
}

} // namespace pointillo
