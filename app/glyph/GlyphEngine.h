#pragma once

#include "GlyphDrawing.h"

#include <QSize>
#include <QString>

#include <cstdint>

class QWidget;

namespace kivaro {
class IVek;
}
namespace platform {
class IControlSite;
class PictureSurface;
} // namespace platform

namespace orvane {

// The glyph surface Pic_Char as the window lays it out, in twips, and its background.
inline constexpr int kGlyphSurfaceWidthTwips = 2145;
inline constexpr int kGlyphSurfaceHeightTwips = 2175;
using pointillo::kGlyphBackColor;
// The glyph surface's inner size in its own units (logical pixels): the engine's glyph surface.
QSize GlyphSurfaceSize();

// The start face and size, the sample fractions, the ink and the grid mark, as the engine has
// them.
using pointillo::kGridMark;
using pointillo::kInk;
using pointillo::kNewSourceFx;
using pointillo::kNewSourceFy;
using pointillo::kStandardFx;
using pointillo::kStandardFy;
using pointillo::kStartFontSize;
using pointillo::StartFontName;

// Creates the LED dot-matrix control by its ProgID inside container, with the properties the
// window stores for its panel (16 x 16 dots, green on dark green). Throws
// platform::PlatformError when no library in folder offers the control.
kivaro::IVek* CreateVek(QWidget* container, platform::IControlSite* site, const QString& folder);

// One run of the glyph stages of the refresh pipeline: DrawGlyph at (x, y), SampleGlyph of the
// region w x h with the fractions fx, fy, then MarkGrid.
void RunGlyphStages(platform::PictureSurface& Pic_Char, const platform::PictureSurface& Pic_Bkp,
                    kivaro::IVek& control, bool CharMode, const QString& text, float x, float y,
                    float w, float h, float fx, float fy);

} // namespace orvane
