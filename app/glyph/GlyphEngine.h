#pragma once

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
inline constexpr std::uint32_t kGlyphBackColor = 0x808080;
// The glyph surface's inner size in its own units (logical pixels).
QSize GlyphSurfaceSize();

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
