#include "platform/PictureSurface.h"

#include "platform/Colour.h"
#include "platform/PlatformError.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>

#include <limits>

namespace platform {

namespace {

QImage newImage(QSize size) {
    return pointillo::NewSurfaceImage(size);
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

void PictureSurface::Cls() {
    image().fill(ToQRgb(m_backColor));
    m_currentX = 0;
    m_currentY = 0;
    scheduleUpdate();
}

void PictureSurface::Print(const QString& text) {
    const double height =
        pointillo::PrintText(image(), m_font, text, m_currentX, m_currentY, m_foreColor);
    m_currentX = 0;
    m_currentY = static_cast<float>(double(m_currentY) + height);
    scheduleUpdate();
}

void PictureSurface::PaintPicture(const QImage& picture, float x, float y) {
    if (picture.isNull())
        return;
    pointillo::PaintPicture(image(), picture, x, y);
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
