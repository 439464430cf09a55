#include "glyph/GlyphSampler.h"

#include "kivaro/IVek.h"
#include "platform/Colour.h"
#include "platform/PictureSurface.h"

#include <QImage>

#include <array>

namespace orvane {

namespace {

using platform::PictureSurface;

// The largest count a byte can hold; the inner bound is re-read for every column, so the row
// table covers every count the control could report.
constexpr int kMaxCount = 255;

// The three sample positions of one cell along one axis, as pixel indices; -1 is outside.
struct AxisPoints {
    int centre;
    int before;
    int after;
};

float limitToSurface(float extent, double scale) {
    return extent >= scale ? static_cast<float>(scale) : extent;
}

float sanitiseFraction(float f) {
    return f > 0.0f && f < 0.5f ? f : 0.0f;
}

// Cell coordinates are worked out in double and used in single precision.
float cellCoordinate(int n, double offset, float cell) {
    return static_cast<float>((n - 0.5 + offset) * static_cast<double>(cell));
}

int pixelWithin(float c, int size) {
    const int p = PictureSurface::PixelIndex(c);
    return p >= 0 && p < size ? p : -1;
}

AxisPoints axisPoints(int n, float cell, float fraction, int size) {
    return {pixelWithin(cellCoordinate(n, 0.0, cell), size),
            pixelWithin(cellCoordinate(n, -static_cast<double>(fraction), cell), size),
            pixelWithin(cellCoordinate(n, static_cast<double>(fraction), cell), size)};
}

class InkTest {
public:
    InkTest(const QImage& image, std::uint32_t ink)
        : m_bits(image.constBits()), m_stride(image.bytesPerLine()),
          m_target(platform::ToQRgb(ink) & 0xFFFFFFu), m_possible(ink <= 0xFFFFFFu) {}

    bool Hit(const AxisPoints& col, const AxisPoints& row) const {
        return m_possible && (is(col.centre, row.centre) || is(col.before, row.centre) ||
                              is(col.after, row.centre) || is(col.centre, row.before) ||
                              is(col.centre, row.after));
    }

private:
    bool is(int x, int y) const {
        if (x < 0 || y < 0)
            return false;
        const auto* line = reinterpret_cast<const QRgb*>(m_bits + y * m_stride);
        return (line[x] & 0xFFFFFFu) == m_target;
    }

    const uchar* m_bits;
    qsizetype m_stride;
    QRgb m_target;
    bool m_possible;
};

struct Cells {
    float w;
    float h;
    float cw;
    float ch;
};

// Limits the region to the surface, then reads MaxRows and MaxLines for the cell size.
Cells cellsOf(const PictureSurface& surface, kivaro::IVek& control, float w, float h) {
    Cells cells{limitToSurface(w, surface.ScaleWidth()), limitToSurface(h, surface.ScaleHeight()),
                0, 0};
    cells.cw = cells.w / static_cast<float>(control.MaxRows());
    cells.ch = cells.h / static_cast<float>(control.MaxLines());
    return cells;
}

// Dots of one pixel go straight into the image: tens of thousands of them per run.
void markCentres(PictureSurface& surface, kivaro::IVek& control, const Cells& cells,
                 std::uint32_t colour) {
    QImage& image = surface.MutableImage();
    const QRgb pixel = platform::ToQRgb(colour);
    std::array<QRgb*, kMaxCount + 1> rows;
    for (int j = 1; j <= kMaxCount; ++j) {
        const int y = pixelWithin(cellCoordinate(j, 0.0, cells.ch), image.height());
        rows[j] = y < 0 ? nullptr : reinterpret_cast<QRgb*>(image.scanLine(y));
    }
    const int columns = control.MaxRows();
    float x = 0;
    float y = 0;
    for (int i = 1; i <= columns; ++i) {
        x = cellCoordinate(i, 0.0, cells.cw);
        const int px = pixelWithin(x, image.width());
        const int lines = control.MaxLines();
        for (int j = 1; j <= lines && px >= 0; ++j)
            if (rows[j])
                rows[j][px] = pixel;
        y = cellCoordinate(lines, 0.0, cells.ch);
    }
    // Where the last mark went, as setting it point by point would leave it.
    if (columns > 0) {
        surface.SetCurrentX(x);
        surface.SetCurrentY(y);
    }
}

void setCentres(PictureSurface& surface, kivaro::IVek& control, const Cells& cells,
                std::uint32_t colour) {
    const int columns = control.MaxRows();
    for (int i = 1; i <= columns; ++i) {
        const float x = cellCoordinate(i, 0.0, cells.cw);
        const int lines = control.MaxLines();
        for (int j = 1; j <= lines; ++j)
            surface.PSet(x, cellCoordinate(j, 0.0, cells.ch), colour);
    }
}

} // namespace

void DrawGlyph(PictureSurface& Pic_Char, const PictureSurface& Pic_Bkp, bool CharMode,
               const QString& text, float x, float y) {
    Pic_Char.Cls();
    if (CharMode) {
        Pic_Char.SetCurrentX(x);
        Pic_Char.SetCurrentY(y);
        Pic_Char.Print(text);
    } else {
        Pic_Char.PaintPicture(Pic_Bkp.Picture(), x, y);
    }
}

void SampleGlyph(const PictureSurface& surface, kivaro::IVek& control, float w, float h, float fx,
                 float fy, bool invert, std::uint32_t ink) {
    // A shallow copy: should anything draw on the surface while the control works, the pixels
    // read here stay valid.
    const QImage image = surface.Image();
    fx = sanitiseFraction(fx);
    fy = sanitiseFraction(fy);
    const Cells cells = cellsOf(surface, control, w, h);
    std::array<AxisPoints, kMaxCount + 1> rows;
    for (int j = 1; j <= kMaxCount; ++j)
        rows[j] = axisPoints(j, cells.ch, fy, image.height());
    const InkTest test(image, ink);
    const int columns = control.MaxRows();
    for (int i = 1; i <= columns; ++i) {
        const AxisPoints col = axisPoints(i, cells.cw, fx, image.width());
        const int lines = control.MaxLines();
        for (int j = 1; j <= lines; ++j) {
            std::uint8_t X = static_cast<std::uint8_t>(i);
            std::uint8_t Y = static_cast<std::uint8_t>(j);
            if (test.Hit(col, rows[j]) != invert)
                control.SetBit(X, Y);
            else
                control.ClrBit(X, Y);
        }
    }
}

void MarkGrid(PictureSurface& surface, kivaro::IVek& control, float w, float h,
              std::uint32_t colour) {
    const Cells cells = cellsOf(surface, control, w, h);
    if (surface.DrawWidth() == 1)
        markCentres(surface, control, cells, colour);
    else
        setCentres(surface, control, cells, colour);
}

} // namespace orvane
