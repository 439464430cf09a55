#pragma once

#include <cmath>

namespace orvane {

// The window's layout is given in twips; one logical pixel is 15 twips.
inline constexpr double kTwipsPerPixel = 15.0;

inline int TwipsToPixels(int twips) {
    return static_cast<int>(std::lrint(twips / kTwipsPerPixel));
}

} // namespace orvane
