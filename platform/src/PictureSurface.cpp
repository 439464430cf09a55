#include "platform/PictureSurface.h"

#include "platform/Colour.h"
#include "platform/PlatformError.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>

#include <limits>

namespace platform {

namespace {

// Pixels per metre at 96 dots per inch: QImage reports 96 as its logical dpi for this value, so
// font sizes in points map to the same pixels on every screen.
constexpr int kDotsPerMetre96 = 3780;

// Coverage at or above this level is inside a stroke and takes the ink colour exactly; below
// it the edge is blended, so the outline stays smooth without greying any stroke's inside.
constexpr int kSolidCoverage = 128;

QImage newImage(QSize size) {
    QImage image(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMetre96);
    image.setDotsPerMeterY(kDotsPerMetre96);
    return image;
}

QRgb blend(QRgb under, QRgb ink, int weight) {
    const auto mix = [weight](int a, int b) {
        return (a * (255 - weight) + b * weight + 127) / 255;
    };
    return qRgb(mix(qRed(under), qRed(ink)), mix(qGreen(under), qGreen(ink)),
                mix(qBlue(under), qBlue(ink)));
}

// A round dot width pixels across: every pixel whose centre lies within half the width of the
// centre of pixel (px, py).
void paintDot(QImage& target, int px, int py, QRgb colour, int width) {
    if (px == std::numeric_limits<int>::min() || py == std::numeric_limits<int>::min())
        return;
    const double r = width / 2.0;
    const int reach = width / 2;
    for (int dy = -reach; dy <= reach; ++dy) {
        const int y = py + dy;
        if (y < 0 || y >= target.height())
            continue;
        auto* row = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int dx = -reach; dx <= reach; ++dx) {
            const int x = px + dx;
            if (x >= 0 && x < target.width() && dx * dx + dy * dy <= r * r)
                row[x] = colour;
        }
    }
}

QHash<QString, LineBox>& standInLines() {
    static QHash<QString, LineBox> lines;
    return lines;
}

} // namespace

PictureSurface::PictureSurface(QWidget* parent) : QFrame(parent) {
    m_image = newImage(contentsRect().size());
    m_image.fill(ToQRgb(m_backColor));
}

double PictureSurface::ScaleWidth() const {
    return Image().width();
}

double PictureSurface::ScaleHeight() const {
    return Image().height();
}

void PictureSurface::SetBackColor(std::uint32_t colour) {
    m_backColor = colour;
    image().fill(ToQRgb(m_backColor));
    scheduleUpdate();
}

void PictureSurface::SetDrawWidth(int width) {
    if (width < 1)
        throw PlatformError(
            kErrInvalidValue,
            QStringLiteral("A drawing width must be at least 1, not %1").arg(width));
    m_drawWidth = width;
}

void PictureSurface::SetFontSize(double points) {
    if (!(points > 0 && points < 2048))
        throw PlatformError(kErrInvalidValue,
                            QStringLiteral("A font size of %1 points cannot be drawn").arg(points));
    m_font.setPointSizeF(points);
}

QString PictureSurface::FaceName() const {
    return QFontInfo(m_font).family();
}

void PictureSurface::SetStandInLineBox(const QString& family, LineBox box) {
    standInLines().insert(family, box);
}

PictureSurface::Line PictureSurface::line(const QFontMetricsF& metrics) const {
    const auto standIn = standInLines().constFind(FaceName());
    if (standIn == standInLines().cend())
        return {metrics.ascent(), metrics.height()};
    const double em = m_font.pixelSize() > 0 ? m_font.pixelSize()
                                             : m_font.pointSizeF() * metrics.fontDpi() / 72.0;
    return {standIn->ascent * em, (standIn->ascent + standIn->descent) * em};
}

void PictureSurface::Cls() {
    image().fill(ToQRgb(m_backColor));
    m_currentX = 0;
    m_currentY = 0;
    scheduleUpdate();
}

void PictureSurface::Print(const QString& text) {
    QImage& target = image();
    const QFontMetricsF metrics(m_font, &target);
    const Line line = this->line(metrics);
    const QPointF baseline(m_currentX, double(m_currentY) + line.ascent);
    if (!text.isEmpty()) {
        QRectF box = metrics.boundingRect(text).translated(baseline);
        box |= QRectF(QPointF(m_currentX, m_currentY),
                      QSizeF(metrics.horizontalAdvance(text), line.height));
        const QRect area = box.toAlignedRect().adjusted(-2, -2, 2, 2) & target.rect();
        if (!area.isEmpty()) {
            // The alpha channel of a premultiplied image holds the same coverage as an Alpha8
            // image would, and Qt paints text into it several times faster.
            QImage coverage(area.size(), QImage::Format_ARGB32_Premultiplied);
            coverage.setDotsPerMeterX(kDotsPerMetre96);
            coverage.setDotsPerMeterY(kDotsPerMetre96);
            coverage.fill(0);
            QPainter painter(&coverage);
            painter.setFont(m_font);
            painter.setPen(Qt::black);
            painter.drawText(baseline - QPointF(area.topLeft()), text);
            painter.end();
            blendCoverage(coverage, area.topLeft());
        }
    }
    m_currentX = 0;
    m_currentY = static_cast<float>(double(m_currentY) + line.height);
    scheduleUpdate();
}

void PictureSurface::blendCoverage(const QImage& coverage, QPoint topLeft) {
    const QRgb ink = ToQRgb(m_foreColor);
    for (int y = 0; y < coverage.height(); ++y) {
        const auto* cover = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(m_image.scanLine(topLeft.y() + y)) + topLeft.x();
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

void PictureSurface::PaintPicture(const QImage& picture, float x, float y) {
    if (picture.isNull())
        return;
    // One picture pixel is one surface pixel, whatever the picture's device pixel ratio
    // (Qt's reader takes a file name ending in "@2x" as one) or stored resolution says.
    QImage unscaled = picture;
    unscaled.setDevicePixelRatio(1.0);
    QPainter painter(&image());
    painter.drawImage(QPoint(PixelIndex(x), PixelIndex(y)), unscaled);
    painter.end();
    scheduleUpdate();
}

std::optional<std::uint32_t> PictureSurface::Point(float x, float y) const {
    const QImage& source = Image();
    const int px = PixelIndex(x);
    const int py = PixelIndex(y);
    if (px < 0 || py < 0 || px >= source.width() || py >= source.height())
        return std::nullopt;
    return FromQRgb(reinterpret_cast<const QRgb*>(source.constScanLine(py))[px]);
}

void PictureSurface::PSet(float x, float y, std::uint32_t colour) {
    m_currentX = x;
    m_currentY = y;
    QImage& target = image();
    const int px = PixelIndex(x);
    const int py = PixelIndex(y);
    if (m_drawWidth == 1) {
        if (px < 0 || py < 0 || px >= target.width() || py >= target.height())
            return;
        reinterpret_cast<QRgb*>(target.scanLine(py))[px] = ToQRgb(colour);
    } else {
        paintDot(target, px, py, ToQRgb(colour), m_drawWidth);
    }
    scheduleUpdate();
}

const QImage& PictureSurface::Image() const {
    syncImageSize();
    return m_image;
}

QImage& PictureSurface::MutableImage() {
    scheduleUpdate();
    return image();
}

QImage& PictureSurface::image() {
    syncImageSize();
    return m_image;
}

// A hidden widget gets its resize event only when it is shown, so the image follows the inner
// area whenever it is used, not only on resize events. Asking for the inner area costs more than
// a pixel does, so it is asked only after the size or the margins changed.
void PictureSurface::syncImageSize() const {
    if (!m_marginsChanged && size() == m_sizedFor)
        return;
    m_sizedFor = size();
    m_marginsChanged = false;
    const QSize inner = contentsRect().size().expandedTo(QSize(0, 0));
    if (m_image.size() == inner)
        return;
    QImage grown = newImage(inner);
    grown.fill(ToQRgb(m_backColor));
    QPainter painter(&grown);
    painter.drawImage(QPoint(0, 0), m_image);
    painter.end();
    m_image = grown;
}

void PictureSurface::scheduleUpdate() {
    if (m_updatePending)
        return;
    m_updatePending = true;
    update();
}

bool PictureSurface::event(QEvent* event) {
    if (event->type() == QEvent::ContentsRectChange)
        m_marginsChanged = true;
    return QFrame::event(event);
}

void PictureSurface::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    m_updatePending = false;
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), Image());
}

void PictureSurface::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    syncImageSize();
}

void PictureSurface::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(event->button(), event->modifiers(),
                   event->position() - QPointF(contentsRect().topLeft()));
    QFrame::mousePressEvent(event);
}

} // namespace platform
