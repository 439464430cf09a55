#pragma once

#include <cmath>

namespace orvane {

// The window's layout is given in twips; one logical pixel is 15 twips.
inline constexpr double kTwipsPerPixel = 15.0;

// The size of the face the layout's captions were made for.
inline constexpr double kCaptionPoints = 8.0;
// Frame titles, a size smaller than the captions inside the frames.
inline constexpr double kFrameTitlePoints = 7.0;

inline int TwipsToPixels(int twips) {
    return static_cast<int>(std::lrint(twips / kTwipsPerPixel));
}

} // namespace orvane
