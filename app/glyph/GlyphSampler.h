#pragma once

#include <QString>

#include <cstdint>

namespace kivaro {
class IVek;
}
namespace platform {
class PictureSurface;
}

namespace orvane {

// Clears Pic_Char, then prints text in its current font (CharMode) or paints the picture of
// Pic_Bkp (picture mode) with the top-left corner at (x, y).
void DrawGlyph(platform::PictureSurface& Pic_Char, const platform::PictureSurface& Pic_Bkp,
               bool CharMode, const QString& text, float x, float y);

// Sets or clears every dot of control from the region w x h at the surface's origin: dot (i, j)
// is a hit when any of five points around the centre of cell (i, j) has exactly the colour ink.
// The outer points lie fx cell widths beside and fy cell heights above and below the centre.
void SampleGlyph(const platform::PictureSurface& surface, kivaro::IVek& control, float w, float h,
                 float fx, float fy, bool invert, std::uint32_t ink);

// Sets the centre of every cell of the region w x h to colour, at the surface's drawing width.
void MarkGrid(platform::PictureSurface& surface, kivaro::IVek& control, float w, float h,
              std::uint32_t colour);

} // namespace orvane
