#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace pointillo {

// The dots of one glyph: width dots across, height dots down, stored row after row from the
// top, each row from the left. Coordinates count from 0 at the top-left dot.
struct DotMatrix {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> lit; // width * height entries, 1 for a lit dot

    DotMatrix() = default;
    DotMatrix(int w, int h) : width(w), height(h), lit(std::size_t(w) * std::size_t(h), 0) {}

    bool At(int x, int y) const { return lit[index(x, y)] != 0; }
    void Set(int x, int y, bool on) { lit[index(x, y)] = on ? 1 : 0; }
    bool operator==(const DotMatrix&) const = default;

private:
    std::size_t index(int x, int y) const { return std::size_t(y) * std::size_t(width) + x; }
};

// One entry of a table: what it shows (a character, or a picture's path) and its dots.
struct Glyph {
    char32_t codePoint = 0; // 0 for a picture or a glyph read back without a character
    QString subject;
    DotMatrix dots;
    int advance = 0; // dots to the next glyph's start, for proportional text
};

// The glyph as a picture of '#' (lit) and '.' (dark), one line of text per row of dots.
QString DotPicture(const DotMatrix& dots);

} // namespace pointillo
