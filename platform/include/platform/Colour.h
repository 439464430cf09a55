#pragma once

#include <QColor>
#include <QRgb>

#include <cstdint>

namespace platform {

// Colours travel through the system as 0x00BBGGRR (red in the low byte). These two functions
// are the only place where that form meets Qt's 0xAARRGGBB.
constexpr QRgb ToQRgb(std::uint32_t bgr) {
    return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

constexpr std::uint32_t FromQRgb(QRgb argb) {
    return ((argb >> 16) & 0xFFu) | (argb & 0xFF00u) | ((argb & 0xFFu) << 16);
}

inline QColor ToQColor(std::uint32_t bgr) { return QColor::fromRgb(ToQRgb(bgr)); }

} // namespace platform
