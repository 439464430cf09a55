#include "PreviewSheet.h"

#include "CharacterSet.h"

#include <QPainter>

#include <algorithm>

namespace pointillo {

namespace {

// The panel's start colours, lit and unlit, and the dark frame around the LEDs.
const QColor kLit(0x00, 0xFF, 0x00);
const QColor kUnlit(0x00, 0x80, 0x00);
const QColor kFrame(0x10, 0x10, 0x10);
const QColor kPaper(0xF0, 0xF0, 0xF0);
constexpr int kSheetWidth = 1200;
constexpr int kLabelHeight = 16;

QString labelOf(const Glyph& g) {
    if (!g.codePoint)
        return g.subject.section(QLatin1Char('/'), -1);
    const QString text = QString::fromUcs4(&g.codePoint, 1);
    const bool printable = QChar::isPrint(g.codePoint) && !QChar::isSpace(g.codePoint);
    return (printable ? text + QLatin1Char(' ') : QString()) + CodePointName(g.codePoint);
}

} // namespace

QPoint SheetLayout::DotCentre(int glyph, int x, int y) const {
    const int column = glyph % columns;
    const int row = glyph / columns;
    return {column * cell.width() + margin + x * pitch + pitch / 2,
            row * cell.height() + margin + y * pitch + pitch / 2};
}

QSize SheetLayout::SheetSize(int count) const {
    const int rows = (count + columns - 1) / columns;
    return {std::min(count, columns) * cell.width(), rows * cell.height()};
}

SheetLayout SheetLayoutFor(int count, int width, int height) {
    SheetLayout s;
    // Small matrices get big LEDs; a panel stays within about 200 pixels, an LED at least 3.
    s.pitch = std::clamp(200 / std::max({width, height, 1}), 3, 16);
    s.margin = 8;
    s.panel = QSize(width * s.pitch, height * s.pitch);
    s.cell = QSize(std::max(s.panel.width(), 96) + 2 * s.margin,
                   s.panel.height() + 2 * s.margin + kLabelHeight);
    s.columns = std::clamp(kSheetWidth / s.cell.width(), 1, std::max(count, 1));
    return s;
}

QImage PreviewSheet(const QList<Glyph>& glyphs) {
    if (glyphs.isEmpty())
        return {};
    const DotMatrix& first = glyphs.first().dots;
    const SheetLayout s = SheetLayoutFor(int(glyphs.size()), first.width, first.height);
    QImage sheet(s.SheetSize(int(glyphs.size())), QImage::Format_RGB32);
    sheet.fill(kPaper);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont label;
    label.setPixelSize(11);
    painter.setFont(label);
    const double radius = s.pitch * 0.4;
    for (int k = 0; k < int(glyphs.size()); ++k) {
        const DotMatrix& dots = glyphs[k].dots;
        const QPoint corner = s.DotCentre(k, 0, 0) - QPoint(s.pitch / 2, s.pitch / 2);
        painter.fillRect(QRect(corner, s.panel), kFrame);
        painter.setPen(Qt::NoPen);
        for (int y = 0; y < dots.height; ++y)
            for (int x = 0; x < dots.width; ++x) {
                painter.setBrush(dots.At(x, y) ? kLit : kUnlit);
                painter.drawEllipse(QPointF(s.DotCentre(k, x, y)) + QPointF(0.5, 0.5), radius,
                                    radius);
            }
        painter.setPen(Qt::black);
        painter.drawText(QRect(corner.x(), corner.y() + s.panel.height() + 2,
                               s.cell.width() - 2 * s.margin, kLabelHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, labelOf(glyphs[k]));
    }
    painter.end();
    return sheet;
}

} // namespace pointillo
