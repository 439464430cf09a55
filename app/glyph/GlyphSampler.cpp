#include "glyph/GlyphSampler.h"

#include "GlyphDrawing.h"
#include "kivaro/IVek.h"
#include "platform/Colour.h"
#include "platform/PictureSurface.h"

#include <QImage>

#include <array>

namespace orvane {

namespace {

using platform::PictureSurface;

// The largest count a byte can hold: the grid answers for every count the control could report,
// since the inner bound is re-read for every column.
constexpr int kMaxCount = 255;

// The grid of the control's current size over the region w x h of the surface.
pointillo::SampleGrid gridOf(const PictureSurface& surface, kivaro::IVek& control, float w, float h,
                             float fx, float fy, std::uint32_t ink) {
    const int columns = control.MaxRows();
    const int lines = control.MaxLines();
    return pointillo::SampleGrid(surface.Image(), w, h, columns, lines, fx, fy, ink);
}

int pixelWithin(float c, int size) {
    const int p = PictureSurface::PixelIndex(c);
    return p >= 0 && p < size ? p : -1;
}

// Dots of one pixel go straight into the image: tens of thousands of them per run.
void markCentres(PictureSurface& surface, kivaro::IVek& control, const pointillo::SampleGrid& grid,
                 std::uint32_t colour) {
    QImage& image = surface.MutableImage();
    const QRgb pixel = platform::ToQRgb(colour);
    std::array<QRgb*, kMaxCount + 1> rows;
    for (int j = 1; j <= kMaxCount; ++j) {
        const int y = pixelWithin(grid.CentreY(j), image.height());
        rows[j] = y < 0 ? nullptr : reinterpret_cast<QRgb*>(image.scanLine(y));
    }
    const int columns = control.MaxRows();
    float x = 0;
    float y = 0;
    for (int i = 1; i <= columns; ++i) {
        x = grid.CentreX(i);
        const int px = pixelWithin(x, image.width());
        const int lines = control.MaxLines();
        for (int j = 1; j <= lines && px >= 0; ++j)
            if (rows[j])
                rows[j][px] = pixel;
        y = grid.CentreY(lines);
    }
    // Where the last mark went, as setting it point by point would leave it.
    if (columns > 0) {
        surface.SetCurrentX(x);
        surface.SetCurrentY(y);
    }
}

void setCentres(PictureSurface& surface, kivaro::IVek& control, const pointillo::SampleGrid& grid,
                std::uint32_t colour) {
    const int columns = control.MaxRows();
    for (int i = 1; i <= columns; ++i) {
        const float x = grid.CentreX(i);
        const int lines = control.MaxLines();
        for (int j = 1; j <= lines; ++j)
            surface.PSet(x, grid.CentreY(j), colour);
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
    const pointillo::SampleGrid grid = gridOf(surface, control, w, h, fx, fy, ink);
    const int columns = control.MaxRows();
    for (int i = 1; i <= columns; ++i) {
        const int lines = control.MaxLines();
        for (int j = 1; j <= lines; ++j) {
            std::uint8_t X = static_cast<std::uint8_t>(i);
            std::uint8_t Y = static_cast<std::uint8_t>(j);
            if (grid.Hit(i, j) != invert)
                control.SetBit(X, Y);
            else
                control.ClrBit(X, Y);
        }
    }
}

void MarkGrid(PictureSurface& surface, kivaro::IVek& control, float w, float h,
              std::uint32_t colour) {
    // Only the cell size matters here, so no ink can be found.
    const pointillo::SampleGrid grid = gridOf(surface, control, w, h, 0, 0, 0xFFFFFFFFu);
    if (surface.DrawWidth() == 1)
        markCentres(surface, control, grid, colour);
    else
        setCentres(surface, control, grid, colour);
}

} // namespace orvane
