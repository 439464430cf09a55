#pragma once

#include "DotMatrix.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pointillo {

// The window's glyph surface, 2145 x 2175 twips at 15 twips a pixel, and its background
// (0x00BBGGRR).
inline constexpr QSize kGlyphSurfaceSize{143, 145};
inline constexpr std::uint32_t kGlyphBackColor = 0x808080;

// The face the glyph starts in, and its size in points.
QString StartFontName();
inline constexpr double kStartFontSize = 106;

// Fraction pairs for the five sample points of a cell: wider when the source has just
// changed, the standard pair otherwise. Black is sampled as ink; red marks the grid.
inline constexpr float kNewSourceFx = 0.25f;
inline constexpr float kNewSourceFy = 0.25f;
inline constexpr float kStandardFx = 0.15f;
inline constexpr float kStandardFy = 0.1f;
inline constexpr std::uint32_t kInk = 0x000000;
inline constexpr std::uint32_t kGridMark = 0x0000FF;

// The pixel that contains the coordinate c. NaN and coordinates far beyond any surface give
// the lowest int, outside every surface.
inline int PixelIndex(float c) {
    const float f = std::floor(c);
    if (!(f >= -1e9f && f <= 1e9f))
        return std::numeric_limits<int>::min();
    return static_cast<int>(f);
}

// A line of text as fractions of the em: how far it reaches above and below the baseline.
struct LineBox {
    double ascent;
    double descent;
};

// Text in a face that stands in for another is drawn from the line box of the face it stands
// for, so that it sits where it would in that face. Other faces use their own line.
void SetStandInLineBox(const QString& family, LineBox box);

// The window asks for the Chinese system faces by their names ("黑体", "宋体", "楷体_GB2312").
// They resolve to the free faces installed here, drawn from the line box of the faces they
// stand for. Safe to call more than once.
void InstallFontSubstitutes();

// An image of a picture surface: 32-bit RGB at 96 dots per inch, so that point sizes give the
// same pixels on every screen.
QImage NewSurfaceImage(QSize size);

// Draws text in font and colour ink (0x00BBGGRR) with the top-left corner of its line box at
// (x, y). Only the glyphs' own pixels change, and the inside of every stroke is exactly ink.
// Returns the height of the line.
double PrintText(QImage& target, const QFont& font, const QString& text, float x, float y,
                 std::uint32_t ink);

// How far below the top of its line box text in font has its baseline, in surface pixels.
double LineAscent(const QFont& font);

// Paints picture at its own size, one picture pixel to one image pixel, with its top-left corner
// at (x, y); what lies beyond the image is cut off.
void PaintPicture(QImage& target, const QImage& picture, float x, float y);

// The five sample points of every cell of a region w x h at an image's origin, cut into
// columns x lines cells: dot (i, j), counted from 1, is a hit when any of five points around
// the centre of its cell has exactly the colour ink. The outer points lie fx cell widths beside
// and fy cell heights above and below the centre. Hit answers for every i and j up to 255.
class SampleGrid {
public:
    SampleGrid(const QImage& image, float w, float h, int columns, int lines, float fx, float fy,
               std::uint32_t ink);

    bool Hit(int i, int j) const;
    // The centre of cell n of the columns (of the lines), in surface units.
    float CentreX(int i) const;
    float CentreY(int j) const;

    // The region is no larger than the image.
    float CellWidth() const { return m_cw; }
    float CellHeight() const { return m_ch; }

private:
    struct AxisPoints {
        int centre;
        int before;
        int after;
    };
    AxisPoints axis(int n, float cell, float fraction, int size) const;
    bool is(int x, int y) const;

    QImage m_image; // a shallow copy: the pixels stay valid whatever else draws meanwhile
    const uchar* m_bits;
    qsizetype m_stride;
    QRgb m_target;
    bool m_possible;
    float m_fx;
    float m_cw;
    float m_ch;
    std::array<AxisPoints, 256> m_columns;
    std::array<AxisPoints, 256> m_rows;
};

// The glyph as the window draws and samples it, with no window: the surface, the face, the
// position and region, the fractions and the matrix size.
struct SampleSettings {
    QFont font;
    float x = 0;
    float y = 0;
    float w = float(kGlyphSurfaceSize.width());
    float h = float(kGlyphSurfaceSize.height());
    float fx = kNewSourceFx;
    float fy = kNewSourceFy;
    int width = 16;
    int height = 16;
};

// The window's font for a family and style, sized in points.
QFont SurfaceFont(const QString& family, double points, bool bold, bool italic, bool underline,
                  bool strikeout);

// Draws text (or, when text is empty and picture is not null, the picture) on a fresh glyph
// surface and samples it.
QImage DrawGlyphSurface(const SampleSettings& s, const QString& text, const QImage& picture);
DotMatrix SampleDots(const QImage& surface, const SampleSettings& s);

} // namespace pointillo
