#pragma once

#include "DotMatrix.h"

#include <QString>

#include <memory>

namespace pointillo {

// A glyph as a font gives it: its pixels and where they sit against the origin on the baseline.
struct FontBitmap {
    DotMatrix pixels;
    int left = 0;    // columns from the origin to the first pixel column (FreeType's bitmap_left)
    int top = 0;     // rows from the baseline up to the first pixel row (FreeType's bitmap_top)
    int advance = 0; // how far the next glyph starts, in pixels
    bool missing = false; // the font has no glyph for the character
};

// A font file drawn one for one at a pixel size: TrueType and OpenType through FreeType's
// monochrome rasteriser with its default hinting, BDF and PCF (also gzipped) as their own
// pixels at one of their strikes, and GNU Unifont's .hex text. Reading a font is FreeType's job;
// only .hex, a plain text format, is read here.
class FontFile {
public:
    // pixelSize: the size asked for. A bitmap font with one strike is drawn at that strike
    // unless pixelSizeGiven; with several, the strike of pixelSize must exist. Throws Error:
    // status 1 for a file that cannot be read or is no font, 2 for a face index, pixel size or
    // strike that does not exist.
    FontFile(const QString& path, int faceIndex, int pixelSize, bool pixelSizeGiven);
    ~FontFile();
    FontFile(const FontFile&) = delete;
    FontFile& operator=(const FontFile&) = delete;

    FontBitmap Render(char32_t cp) const;

    // The face's ascender at the drawn size, rounded (a bitmap font's own ascent).
    int Ascent() const;
    int PixelSize() const;
    // "family style (file)", for the header of a table, whose licence follows the font's.
    QString Name() const;

    class Source;

private:
    std::unique_ptr<Source> m_source;
};

// Where a font's glyph lands in a matrix: with its baseline ascent lines below the top (font),
// N lines below it (baseline=N), or its ink centred (half a dot to the left and up when odd).
struct Placement {
    enum class Fit { Font, Baseline, Center };
    Fit fit = Fit::Font;
    int baseline = 0;
};

// The pixel (i, j) of the bitmap lands at column left + i and line baselineLine - top + j.
// Pixels outside the matrix are cut; lostInk counts the lit ones among them.
DotMatrix PlaceBitmap(const FontBitmap& bitmap, int ascent, const Placement& placement, int width,
                      int height, int* lostInk);

// The line of the baseline in a matrix of that height under placement (0 from the top).
int BaselineLine(int ascent, const Placement& placement, int height);

// The font file fontconfig picks for a family and style at a pixel size (which picks the strike
// file of a bitmap family), with its face index; an empty path when it knows none.
struct FontLocation {
    QString path;
    int faceIndex = 0;
};
FontLocation LocateFont(const QString& family, bool bold, bool italic, int pixelSize);

} // namespace pointillo
