#pragma once

#include "platform/PlatformError.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace platform {

// Real numbers become integers by rounding to the nearest, a half to the even neighbour
// (std::lrint under the default rounding mode). qRound would round halves away from zero.
inline long RoundHalfEven(double v) { return std::lrint(v); }

// A conversion to a 16-bit integer that does not fit is the platform's overflow error.
inline std::int16_t ToInt16(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= std::numeric_limits<std::int16_t>::min() &&
          r <= std::numeric_limits<std::int16_t>::max()))
        throw PlatformError(kErrOverflow, QStringLiteral("Overflow"));
    return static_cast<std::int16_t>(r);
}

} // namespace platform
